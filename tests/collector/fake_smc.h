#pragma once

#include "platform/smc_service.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarsik::testing {

// An SMC held in memory. It reads requests and writes replies by byte offset, as the kernel
// would, so the reader's block layout is checked against the wire format rather than against
// itself; it also counts any request byte that the command does not use and that is not zero.
class FakeSMC final : public platform::SMCService {
  public:
    struct Key {
        std::string name;                // four raw bytes
        std::string type;                // four raw bytes
        std::vector<std::uint8_t> bytes; // the key's size is their count, so 0 and 33 are possible
    };

    struct Faults {
        std::optional<std::uint8_t> failingCommand;   // calls with this command fail outright
        std::string failingResultKey;                 // key info of this key answers a non-zero result
        std::optional<std::uint32_t> zeroCodeAtIndex; // the key at this index comes back as code 0
        std::optional<std::uint32_t> reportedCount;   // the key count the SMC claims
    };

    explicit FakeSMC(std::vector<Key> keys, std::vector<std::string> openableServices = {"AppleSMC"})
        : keys_(std::move(keys)), openableServices_(std::move(openableServices)) {
        for (std::size_t i = 0; i < keys_.size(); ++i) {
            byCode_.try_emplace(code(keys_[i].name), i);
        }
    }

    Faults faults;

    // What the reader did.
    mutable std::vector<std::string> openAttempts;
    mutable int openConnections = 0;
    mutable std::map<int, int> callsByCommand;
    mutable std::vector<std::string> keyInfoRequests; // every key asked about, as four raw bytes
    mutable int protocolViolations = 0;

    int totalCalls() const {
        int total = 0;
        for (const auto& [command, calls] : callsByCommand) {
            total += calls;
        }
        return total;
    }

    std::unique_ptr<platform::SMCConnection> open(std::string_view serviceName) const override {
        openAttempts.emplace_back(serviceName);
        for (const auto& name : openableServices_) {
            if (name == serviceName) {
                return std::make_unique<Connection>(*this);
            }
        }
        return nullptr;
    }

    static constexpr std::uint8_t kAttributes = 0xD4;

  private:
    using Block = std::array<std::byte, platform::kSMCParamBlockSize>;

    class Connection final : public platform::SMCConnection {
      public:
        explicit Connection(const FakeSMC& smc) : smc_(smc) { ++smc_.openConnections; }
        ~Connection() override { --smc_.openConnections; }
        Connection(const Connection&) = delete;
        Connection& operator=(const Connection&) = delete;

        int call(platform::SMCBlockBytes input, platform::SMCMutableBlockBytes output) override {
            Block request;
            std::memcpy(request.data(), input.data(), request.size());
            Block reply{};
            const int status = smc_.answer(request, reply);
            std::memcpy(output.data(), reply.data(), reply.size());
            return status;
        }

      private:
        const FakeSMC& smc_;
    };

    // Field offsets of the wire block.
    static constexpr std::size_t kKey = 0, kDataSize = 28, kDataType = 32, kAttributesAt = 36, kResult = 37,
                                 kCommand = 39, kData32 = 40, kBytes = 44;
    static constexpr int kCallFailed = 0x2BC;
    static constexpr std::uint8_t kOtherError = 0x85;

    static std::uint32_t code(std::string_view text) {
        std::uint32_t value = 0;
        for (const char c : text) {
            value = (value << 8) | static_cast<std::uint8_t>(c);
        }
        return value;
    }
    static std::string name(std::uint32_t keyCode) {
        return {static_cast<char>(keyCode >> 24), static_cast<char>(keyCode >> 16),
                static_cast<char>(keyCode >> 8), static_cast<char>(keyCode)};
    }
    static std::uint32_t get32(const Block& block, std::size_t at) {
        std::uint32_t value;
        std::memcpy(&value, block.data() + at, sizeof value);
        return value;
    }
    static void put32(Block& block, std::size_t at, std::uint32_t value) {
        std::memcpy(block.data() + at, &value, sizeof value);
    }
    static void put8(Block& block, std::size_t at, std::uint8_t value) { block[at] = std::byte{value}; }

    // A request may set only the fields its command names.
    void checkOnlyUsedBytesSet(Block request, std::uint8_t command) const {
        const auto clear = [&request](std::size_t from, std::size_t to) {
            std::fill(request.begin() + from, request.begin() + to, std::byte{0});
        };
        clear(kCommand, kCommand + 1);
        if (command == platform::kSMCKeyAtIndex) {
            clear(kData32, kData32 + 4);
        }
        if (command == platform::kSMCKeyInfo || command == platform::kSMCReadBytes) {
            clear(kKey, kKey + 4);
        }
        if (command == platform::kSMCReadBytes) {
            clear(kDataSize, kAttributesAt + 1);
        }
        if (request != Block{}) {
            ++protocolViolations;
        }
    }

    const Key* find(std::uint32_t keyCode) const {
        const auto found = byCode_.find(keyCode);
        return found == byCode_.end() ? nullptr : &keys_[found->second];
    }

    int answer(const Block& request, Block& reply) const {
        const auto command = static_cast<std::uint8_t>(request[kCommand]);
        ++callsByCommand[command];
        checkOnlyUsedBytesSet(request, command);
        if (faults.failingCommand == command) {
            return kCallFailed;
        }
        switch (command) {
        case platform::kSMCKeyCount:
            put32(reply, kData32, faults.reportedCount.value_or(static_cast<std::uint32_t>(keys_.size())));
            return 0;
        case platform::kSMCKeyAtIndex: {
            const std::uint32_t index = get32(request, kData32);
            if (index >= keys_.size()) {
                put8(reply, kResult, kOtherError);
            } else if (faults.zeroCodeAtIndex != index) {
                put32(reply, kKey, code(keys_[index].name));
            }
            return 0;
        }
        case platform::kSMCKeyInfo: {
            const std::uint32_t keyCode = get32(request, kKey);
            keyInfoRequests.push_back(name(keyCode));
            const Key* key = find(keyCode);
            if (key == nullptr || key->name == faults.failingResultKey) {
                put8(reply, kResult, key == nullptr ? platform::kSMCResultKeyNotFound : kOtherError);
                return 0;
            }
            put32(reply, kKey, code(key->name));
            put32(reply, kDataSize, static_cast<std::uint32_t>(key->bytes.size()));
            put32(reply, kDataType, code(key->type));
            put8(reply, kAttributesAt, kAttributes);
            return 0;
        }
        case platform::kSMCReadBytes: {
            const Key* key = find(get32(request, kKey));
            if (key == nullptr) {
                put8(reply, kResult, platform::kSMCResultKeyNotFound);
                return 0;
            }
            if (get32(request, kDataSize) != key->bytes.size() || key->bytes.size() > 32 ||
                get32(request, kDataType) != code(key->type) ||
                request[kAttributesAt] != std::byte{kAttributes}) {
                ++protocolViolations;
                put8(reply, kResult, kOtherError);
                return 0;
            }
            put32(reply, kKey, code(key->name));
            std::memcpy(reply.data() + kBytes, key->bytes.data(), key->bytes.size());
            return 0;
        }
        default:
            ++protocolViolations;
            return kCallFailed;
        }
    }

    std::vector<Key> keys_;
    std::vector<std::string> openableServices_;
    std::unordered_map<std::uint32_t, std::size_t> byCode_;
};

} // namespace tarsik::testing
