#pragma once

#include "platform/property_list.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarsik::platform {

// One registry entry: who publishes the properties and the properties themselves. Properties
// that could not be copied stay Other.
struct RegistryEntry {
    std::string name;
    std::string className;
    PropertyValue properties;
};

// The entries of the platform's device registry, in its iteration order. Reading them may talk to
// drivers, so it belongs on a background thread.
class RegistrySource {
  public:
    virtual ~RegistrySource() = default;
    // Every entry, or only those of the given name, so that no other device's driver is asked.
    virtual std::vector<RegistryEntry> entries(std::optional<std::string_view> name) const = 0;
};

} // namespace tarsik::platform
