#include "platform/nvml/nvml_statistics.h"

namespace tarsik::platform {
namespace {

template <typename Number>
std::optional<Sample> sample(const std::optional<Number>& value, const char* call, double divisor = 1) {
    if (!value) {
        return std::nullopt;
    }
    return Sample{.value = static_cast<double>(*value) / divisor, .origin = call};
}

} // namespace

GPUStatistics nvmlGPUStatistics(const NVMLGPUReadings& readings) {
    GPUStatistics statistics;
    statistics.add("Temperature(C)", sample(readings.temperatureCelsius, "nvmlDeviceGetTemperature"),
                   ranges::temperature);
    statistics.add("Total Power(W)", sample(readings.powerMilliwatts, "nvmlDeviceGetPowerUsage", 1000),
                   ranges::power);
    statistics.add("Fan Speed(RPM)", sample(readings.fanRpm, "nvmlDeviceGetFanSpeedRPM"), ranges::fanRpm);
    statistics.add("Core Clock(MHz)", sample(readings.graphicsClockMHz, "nvmlDeviceGetClockInfo"),
                   ranges::clockMHz);
    statistics.add("Memory Clock(MHz)", sample(readings.memoryClockMHz, "nvmlDeviceGetClockInfo"),
                   ranges::clockMHz);
    statistics.add("Device Utilization %", sample(readings.utilisationPercent, "nvmlDeviceGetUtilizationRates"),
                   ranges::percent);
    statistics.addMore("memoryTemperature", "",
                       sample(readings.memoryTemperatureCelsius, "nvmlDeviceGetFieldValues"),
                       ranges::hotspotTemperature);
    statistics.addMore("memoryUsed", "", sample(readings.memoryUsedBytes, "nvmlDeviceGetMemoryInfo"),
                       ranges::bytes);
    statistics.addMore("fanDuty", "", sample(readings.fanPercent, "nvmlDeviceGetFanSpeed"), ranges::percent);
    statistics.addMore("powerLimit", "",
                       sample(readings.enforcedPowerLimitMilliwatts, "nvmlDeviceGetEnforcedPowerLimit", 1000),
                       ranges::powerLimit);
    return statistics;
}

} // namespace tarsik::platform
