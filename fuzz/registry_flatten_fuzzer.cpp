// Registry entries of any shape: the input is decoded into a name, a class and a property tree,
// which the registry scan flattens and reads.
#include "collector/sensors/registry_scan.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

using tarsik::platform::PropertyValue;

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return size_ == 0; }
    std::uint8_t byte() {
        if (size_ == 0) {
            return 0;
        }
        --size_;
        return *data_++;
    }
    // A length byte, then that many bytes (fewer at the end of the input).
    std::string text() {
        const std::size_t length = std::min<std::size_t>(byte(), size_);
        std::string result(reinterpret_cast<const char*>(data_), length);
        data_ += length;
        size_ -= length;
        return result;
    }
    double number() {
        std::uint8_t bytes[sizeof(double)]{};
        for (auto& b : bytes) {
            b = byte();
        }
        double value = 0;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// Every element takes at least one byte of input, so the tree is as large as the input at most.
PropertyValue value(Input& input, int depth) {
    const auto tag = input.byte();
    if (depth > 16) {
        return PropertyValue{};
    }
    switch (tag % 6) {
    case 0:
        return PropertyValue{input.number()};
    case 1:
        return PropertyValue{input.text()};
    case 2: {
        const auto text = input.text();
        return PropertyValue{PropertyValue::Data(text.begin(), text.end())};
    }
    case 3: {
        PropertyValue::Dictionary entries;
        for (auto count = input.byte(); count > 0 && !input.empty(); --count) {
            auto key = input.text();
            entries.emplace_back(std::move(key), value(input, depth + 1));
        }
        return PropertyValue{std::move(entries)};
    }
    case 4: {
        PropertyValue::Array elements;
        for (auto count = input.byte(); count > 0 && !input.empty(); --count) {
            elements.push_back(value(input, depth + 1));
        }
        return PropertyValue{std::move(elements)};
    }
    default:
        return PropertyValue{};
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    tarsik::platform::RegistryEntry entry;
    entry.name = input.text();
    entry.className = input.text();
    entry.properties = value(input, 0);
    const auto flattened = tarsik::flattenRegistryProperties(entry.properties, "", 0);
    for (const auto& [key, leaf] : flattened) {
        if (leaf == nullptr) {
            __builtin_trap();
        }
    }
    tarsik::registryEntryReadings(entry);
    return 0;
}
