#pragma once

#include "platform/smc_service.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarsik {

// One key's raw value as the SMC reported it.
struct SMCKeyData {
    std::string type;                // four characters, trailing blanks included ("flt ")
    std::vector<std::uint8_t> bytes; // 1 to 32

    friend bool operator==(const SMCKeyData&, const SMCKeyData&) = default;
};

// One open connection to the SMC, for one scan: lists keys, reads values and decodes them. It
// knows nothing of GPUs. Every failure is an empty or absent result.
class AppleSMCReader {
  public:
    static constexpr std::array<std::string_view, 4> serviceNames{"AppleSMC", "SMC", "FakeSMC", "VirtualSMC"};
    // Bounds the listing whatever count the SMC claims.
    static constexpr std::uint32_t maxKeyIndices = 20000;

    // The first service of `serviceNames` that opens; nothing when none does.
    static std::optional<AppleSMCReader> open(const platform::SMCService& service);

    const std::string& openedServiceName() const { return openedServiceName_; }

    std::uint32_t keyCount();
    std::optional<std::string> key(std::uint32_t index);
    // In SMC index order, keys with code 0 or failing calls left out.
    std::vector<std::string> allKeys();
    // Two calls (key info, then the value); a key text that is not exactly four bytes makes none.
    std::optional<SMCKeyData> readKey(std::string_view key);

    // The four code bytes, most significant first, as Mac OS Roman; "????" for control bytes.
    static std::string keyString(std::uint32_t code);
    static std::uint32_t keyCode(std::string_view key);
    // The value of the bytes under the SMC data type; nothing for an unknown type or short data.
    static std::optional<double> decode(std::span<const std::uint8_t> data, std::string_view type);

  private:
    AppleSMCReader(std::unique_ptr<platform::SMCConnection> connection, std::string_view serviceName)
        : connection_(std::move(connection)), openedServiceName_(serviceName) {}

    // Sends a request and fills the reply; true only when both the call and the SMC succeeded.
    bool call(const platform::SMCParamBlock& request, platform::SMCParamBlock& reply);

    std::unique_ptr<platform::SMCConnection> connection_;
    std::string openedServiceName_;
};

} // namespace tarsik
