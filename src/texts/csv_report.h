#pragma once

#include "model/gpu_report.h"

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace tarsik {

// `tarsik-report --csv`: the column names, one line.
std::string csvHeader();

// One line per GPU of one sample, all stamped `time`: its slot, name and measurements in the
// units the column names say. A cell is empty where the GPU has no such reading or sleeps; the
// no-GPU placeholder gives no line.
std::string csvRows(const std::vector<GPUReport>& gpus, std::chrono::system_clock::time_point time);

// A field as RFC 4180 writes it: quoted, with quotes doubled, when it holds a comma, a quote or
// a line break.
std::string csvField(std::string_view text);

} // namespace tarsik
