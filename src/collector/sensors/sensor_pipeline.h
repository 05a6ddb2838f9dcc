#pragma once

#include "model/sensor_kind.h"
#include "model/sensor_reading.h"

#include <optional>
#include <string>
#include <vector>

namespace tarsik {

// Lower is better: registry performance statistics, then SMC keys, then anything else.
int sensorPreferenceScore(const SensorReading& reading);
// Orders readings of equal score: proximity, die, temperatures, power, fan, clocks, load.
std::string dynamicSensorSortKey(const SensorReading& reading);
// The first reading of each name (ignoring case) and unit survives, in input order.
std::vector<SensorReading> deduplicateSensorReadings(const std::vector<SensorReading>& readings);
std::optional<SensorKind> canonicalKind(const SensorReading& reading);
// A fresh reading with the kind's canonical name and unit, keeping value and note.
SensorReading canonicalizedReading(const SensorReading& reading, SensorKind kind);
// At most one reading per kind, the best scoring, in kind order.
std::vector<SensorReading> canonicalGPUReadings(const std::vector<SensorReading>& readings);

// Sorts joined SMC and registry readings by preference, removes duplicates and keeps one
// canonical reading per kind (0 to 6).
std::vector<SensorReading> rankedGPUReadings(const std::vector<SensorReading>& readings);

// Shown when no dynamic reading survives.
SensorReading noGPUSensorsPlaceholder();

} // namespace tarsik
