#pragma once

#include "model/advanced_row.h"
#include "model/gpu_device.h"

#include <vector>

namespace tarsik {

// One row per `raw` entry, keys in code-point order (upper case, then "_", then lower case).
std::vector<AdvancedRow> advancedRowsFor(const GPUDevice* device);

} // namespace tarsik
