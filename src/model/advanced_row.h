#pragma once

#include <string>

namespace tarsik {

// One key/value line of the Advanced tab; its identity is its key.
struct AdvancedRow {
    std::string key{};
    std::string value{};

    const std::string& id() const { return key; }

    friend bool operator==(const AdvancedRow&, const AdvancedRow&) = default;
};

} // namespace tarsik

template <> struct std::hash<tarsik::AdvancedRow> {
    std::size_t operator()(const tarsik::AdvancedRow& row) const noexcept;
};
