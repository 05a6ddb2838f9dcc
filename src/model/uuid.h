#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tarsik {

// A random (version 4) 128-bit identifier. Records take a fresh one when built, so two
// inventories of the same machine never share identifiers.
class UUID {
  public:
    using Bytes = std::array<std::uint8_t, 16>;

    UUID() : bytes_(random().bytes_) {}
    explicit UUID(const Bytes& bytes) : bytes_(bytes) {}

    static UUID random();

    const Bytes& bytes() const { return bytes_; }
    // Canonical lower-case 8-4-4-4-12 form.
    std::string toString() const;

    friend bool operator==(const UUID&, const UUID&) = default;

  private:
    struct Uninitialised {};
    explicit UUID(Uninitialised) : bytes_{} {}

    Bytes bytes_;
};

// Folds one more hash into a running seed (the 64-bit variant of boost::hash_combine).
inline void hashCombine(std::size_t& seed, std::size_t value) {
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 12) + (seed >> 4);
}

} // namespace tarsik

template <> struct std::hash<tarsik::UUID> {
    std::size_t operator()(const tarsik::UUID& uuid) const noexcept;
};
