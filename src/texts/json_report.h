#pragma once

#include "model/gpu_report.h"

#include <chrono>
#include <string>
#include <vector>

namespace tarsik {

// `tarsik-report --json`: one document, {"generated": UTC ISO 8601, "gpus": [...]}, the GPUs in
// list order; its schema is docs/tarsik-report.schema.json. The no-GPU placeholder is no GPU, so
// it gives an empty list. Text that is not UTF-8 is repaired, never fatal. Ends with a line feed.
std::string jsonReport(const std::vector<GPUReport>& gpus, std::chrono::system_clock::time_point generatedAt);

} // namespace tarsik
