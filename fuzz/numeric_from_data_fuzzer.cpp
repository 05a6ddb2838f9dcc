// Registry data blocks read as numbers; the first byte picks the kind.
#include "collector/sensors/registry_values.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto kind = static_cast<tarsik::RegistryKind>(data[0] % 5);
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    const auto number = tarsik::numericFromData(bytes, kind);
    if (number && !tarsik::isPlausibleRegistryNumber(*number, kind)) {
        __builtin_trap(); // only plausible values come out
    }
    const tarsik::platform::PropertyValue value(
        tarsik::platform::PropertyValue::Data(bytes.begin(), bytes.end()));
    if (tarsik::registryNumericValue(value, kind) != number) {
        __builtin_trap();
    }
    return 0;
}
