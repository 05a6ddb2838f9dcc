#pragma once

#include "model/gpu_device.h"

#include <chrono>
#include <string>

namespace tarsik {

// The plain-text report of one GPU for support requests and forum posts: a title, the time
// stamp in UTC, the inventory fields and one line per display, joined by line feeds with none
// after the last line. Without a GPU the whole report is "No GPU detected".
std::string validationReport(const GPUDevice* gpu, std::chrono::system_clock::time_point generatedAt);

// "2026-12-05 04:46:12 +0000".
std::string reportTimestamp(std::chrono::system_clock::time_point time);

} // namespace tarsik
