#pragma once

#include "model/sensor_reading.h"
#include "platform/registry_source.h"

#include <vector>

namespace tarsik {

// One GPU's readings beyond the six, as the Sensors tab lists them after the canonical ones: its
// driver's further readings in the order of their kinds, then its sleep state. A sleeping GPU has
// only the sleep state, which says why nothing else was read.
std::vector<SensorReading> moreGPUReadings(const platform::RegistryEntry& entry);

} // namespace tarsik
