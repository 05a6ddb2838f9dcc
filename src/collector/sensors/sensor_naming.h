#pragma once

#include <string>
#include <string_view>

namespace tarsik {

// Names for four-character GPU sensor keys, shared by the SMC scan and the registry scan.
std::string temperatureSensorName(std::string_view key);
std::string powerSensorName(std::string_view key);

// One decimal, halves away from zero; no decimal within 0.05 of a whole number (45.96 -> "46").
std::string formatSensorValue(double value);

} // namespace tarsik
