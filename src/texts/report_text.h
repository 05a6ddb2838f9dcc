#pragma once

#include "model/gpu_report.h"

#include <chrono>
#include <string>
#include <vector>

namespace tarsik {

// tarsik-report's plain form: per GPU its validation report and its sensor lines, GPUs apart by
// a blank line, ending in a line feed.
std::string reportText(const std::vector<GPUReport>& reports,
                       std::chrono::system_clock::time_point generatedAt);

} // namespace tarsik
