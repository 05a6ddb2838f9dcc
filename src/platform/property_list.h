#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarsik::platform {

// A property-list value as a registry entry publishes it. Integers, reals and booleans are all
// numbers (read as doubles); dictionaries keep their key order, so readings come out in the order
// the source wrote them. Anything else (a date, a null) is Other.
class PropertyValue {
  public:
    enum class Kind { other, number, string, data, dictionary, array };
    using Data = std::vector<std::uint8_t>;
    using Dictionary = std::vector<std::pair<std::string, PropertyValue>>;
    using Array = std::vector<PropertyValue>;

    PropertyValue() = default;
    explicit PropertyValue(double number) : kind_(Kind::number), number_(number) {}
    explicit PropertyValue(std::string text) : kind_(Kind::string), text_(std::move(text)) {}
    explicit PropertyValue(Data bytes) : kind_(Kind::data), bytes_(std::move(bytes)) {}
    explicit PropertyValue(Dictionary entries) : kind_(Kind::dictionary), entries_(std::move(entries)) {}
    explicit PropertyValue(Array elements) : kind_(Kind::array), elements_(std::move(elements)) {}

    Kind kind() const { return kind_; }
    // The value when it is of that kind, else null.
    const double* number() const { return kind_ == Kind::number ? &number_ : nullptr; }
    const std::string* string() const { return kind_ == Kind::string ? &text_ : nullptr; }
    const Data* data() const { return kind_ == Kind::data ? &bytes_ : nullptr; }
    const Dictionary* dictionary() const { return kind_ == Kind::dictionary ? &entries_ : nullptr; }
    const Array* array() const { return kind_ == Kind::array ? &elements_ : nullptr; }

  private:
    // Plain members rather than a variant: GCC 12 reports false "maybe uninitialized" warnings
    // for variants of vectors.
    Kind kind_ = Kind::other;
    double number_ = 0;
    std::string text_;
    Data bytes_;
    Dictionary entries_;
    Array elements_;
};

} // namespace tarsik::platform
