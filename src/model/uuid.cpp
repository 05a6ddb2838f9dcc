#include "model/uuid.h"

#include <random>

namespace tarsik {

UUID UUID::random() {
    // One generator per thread: records are built on the UI thread and on both pools.
    thread_local std::mt19937_64 engine{[] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device(), device(), device()};
        return std::mt19937_64{seed};
    }()};
    UUID uuid{Uninitialised{}};
    for (std::size_t i = 0; i < uuid.bytes_.size(); i += 8) {
        const std::uint64_t word = engine();
        for (std::size_t b = 0; b < 8; ++b) {
            uuid.bytes_[i + b] = static_cast<std::uint8_t>(word >> (8 * b));
        }
    }
    uuid.bytes_[6] = static_cast<std::uint8_t>((uuid.bytes_[6] & 0x0f) | 0x40); // version 4
    uuid.bytes_[8] = static_cast<std::uint8_t>((uuid.bytes_[8] & 0x3f) | 0x80); // RFC 4122 variant
    return uuid;
}

std::string UUID::toString() const {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(36);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            text.push_back('-');
        }
        text.push_back(digits[bytes_[i] >> 4]);
        text.push_back(digits[bytes_[i] & 0x0f]);
    }
    return text;
}

} // namespace tarsik

std::size_t std::hash<tarsik::UUID>::operator()(const tarsik::UUID& uuid) const noexcept {
    std::size_t seed = 0;
    for (std::size_t i = 0; i < 16; i += 8) {
        std::uint64_t word = 0;
        for (std::size_t b = 0; b < 8; ++b) {
            word |= std::uint64_t{uuid.bytes()[i + b]} << (8 * b);
        }
        tarsik::hashCombine(seed, static_cast<std::size_t>(word));
    }
    return seed;
}
