#pragma once

#include "model/gpu_report.h"

#include <string>
#include <vector>

namespace tarsik {

// `tarsik-report --prometheus`: the text exposition format for node_exporter's textfile
// collector, in base units, every sample labelled with the GPU's slot and name. A family without
// samples is left out; a GPU whose slot and name repeat an earlier one's is left out, since a
// repeated series makes the whole file unreadable. The no-GPU placeholder gives no samples.
std::string prometheusReport(const std::vector<GPUReport>& gpus);

// A label value as the format writes it: backslash, double quote and line feed escaped, text
// that is not UTF-8 repaired.
std::string prometheusLabelValue(std::string_view text);

} // namespace tarsik
