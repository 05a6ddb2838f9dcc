// SMC values under any data type the SMC may claim: the first four bytes are the type, the rest
// the value bytes (the SMC returns 1 to 32).
#include "collector/gpu_info_collector.h"
#include "collector/sensors/sensor_naming.h"
#include "collector/sensors/smc_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const std::string_view type(reinterpret_cast<const char*>(data), 4);
    const std::span<const std::uint8_t> bytes(data + 4, size - 4);
    if (const auto value = tarsik::AppleSMCReader::decode(bytes, type)) {
        tarsik::formatSensorValue(*value);
    }
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        code = code << 8 | data[i];
    }
    const auto key = tarsik::AppleSMCReader::keyString(code);
    tarsik::temperatureSensorName(key);
    tarsik::powerSensorName(key);
    tarsik::GPUInfoCollector::sensorSortKey(key);
    return 0;
}
