#pragma once

#include "texts/gpu_report.h"

#include <chrono>
#include <string>
#include <vector>

namespace tarsik {

// tarsik-report's default form: for each GPU its validation report, a blank line and its sensor
// debug lines; GPUs apart by a blank line, a line feed at the end. No GPUs reads as the
// validation report of none.
std::string textReport(const std::vector<GpuReport>& gpus, std::chrono::system_clock::time_point generatedAt);

} // namespace tarsik
