#pragma once

#include "model/gpu_device.h"
#include "model/sensor_reading.h"

#include <vector>

namespace tarsik {

// One GPU as tarsik-report prints it: the record and the readings the Sensors tab shows for it.
// `readingsLate` is set when the readings did not come before the report's deadline.
struct GPUReport {
    GPUDevice device;
    std::vector<SensorReading> readings;
    bool readingsLate = false;
};

} // namespace tarsik
