// Registry text values ("Temp: 61,5 C") read as numbers, then normalised for every kind.
#include "collector/sensors/registry_values.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto number = tarsik::numericFromString(text);
    if (number && std::isnan(*number)) {
        __builtin_trap();
    }
    const tarsik::platform::PropertyValue value(text);
    for (const auto kind :
         {tarsik::RegistryKind::temperature, tarsik::RegistryKind::power, tarsik::RegistryKind::fan,
          tarsik::RegistryKind::clock, tarsik::RegistryKind::load}) {
        const auto normalised = tarsik::registryNumericValue(value, kind);
        if (normalised && !tarsik::isPlausibleRegistryNumber(*normalised, kind)) {
            __builtin_trap(); // only plausible values come out
        }
    }
    return 0;
}
