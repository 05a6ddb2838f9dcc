#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tarsik {

// A random (version 4) 128-bit identifier. Records take a fresh one when built, so two
// inventories of the same machine never share identifiers.
class Uuid {
  public:
    using Bytes = std::array<std::uint8_t, 16>;

    Uuid() : bytes_(random().bytes_) {}
    explicit Uuid(const Bytes& bytes) : bytes_(bytes) {}

    static Uuid random();

    const Bytes& bytes() const { return bytes_; }
    // Canonical lower-case 8-4-4-4-12 form.
    std::string toString() const;

    friend bool operator==(const Uuid&, const Uuid&) = default;

  private:
    struct Uninitialised {};
    explicit Uuid(Uninitialised) : bytes_{} {}

    Bytes bytes_;
};

// Folds one more hash into a running seed (the 64-bit variant of boost::hash_combine).
inline void hashCombine(std::size_t& seed, std::size_t value) {
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 12) + (seed >> 4);
}

} // namespace tarsik

template <> struct std::hash<tarsik::Uuid> {
    std::size_t operator()(const tarsik::Uuid& uuid) const noexcept;
};
