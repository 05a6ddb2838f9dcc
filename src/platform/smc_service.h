#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <type_traits>

namespace tarsik::platform {

// The parameter block the SMC user client takes and returns, in the host's byte order. Its layout
// is a wire format: every byte is named so that a value-initialised block is all zeros.
struct SMCParamBlock {
    std::uint32_t key = 0;
    std::uint8_t versionMajor = 0;
    std::uint8_t versionMinor = 0;
    std::uint8_t versionBuild = 0;
    std::uint8_t versionReserved = 0;
    std::uint16_t versionRelease = 0;
    std::array<std::uint8_t, 2> padding{};
    std::uint16_t limitVersion = 0;
    std::uint16_t limitLength = 0;
    std::uint32_t cpuLimit = 0;
    std::uint32_t gpuLimit = 0;
    std::uint32_t memoryLimit = 0;
    std::uint32_t dataSize = 0;
    std::uint32_t dataType = 0;
    std::uint8_t dataAttributes = 0;
    std::uint8_t result = 0;
    std::uint8_t status = 0;
    std::uint8_t command = 0;
    std::uint32_t data32 = 0;
    std::array<std::uint8_t, 32> bytes{};
};

inline constexpr std::size_t kSMCParamBlockSize = 76;

static_assert(std::is_standard_layout_v<SMCParamBlock> && std::is_trivially_copyable_v<SMCParamBlock>);
static_assert(std::has_unique_object_representations_v<SMCParamBlock>, "no hidden padding");
static_assert(sizeof(SMCParamBlock) == kSMCParamBlockSize, "no trailing padding");
static_assert(offsetof(SMCParamBlock, key) == 0);
static_assert(offsetof(SMCParamBlock, versionMajor) == 4);
static_assert(offsetof(SMCParamBlock, versionMinor) == 5);
static_assert(offsetof(SMCParamBlock, versionBuild) == 6);
static_assert(offsetof(SMCParamBlock, versionReserved) == 7);
static_assert(offsetof(SMCParamBlock, versionRelease) == 8);
static_assert(offsetof(SMCParamBlock, padding) == 10);
static_assert(offsetof(SMCParamBlock, limitVersion) == 12);
static_assert(offsetof(SMCParamBlock, limitLength) == 14);
static_assert(offsetof(SMCParamBlock, cpuLimit) == 16);
static_assert(offsetof(SMCParamBlock, gpuLimit) == 20);
static_assert(offsetof(SMCParamBlock, memoryLimit) == 24);
static_assert(offsetof(SMCParamBlock, dataSize) == 28);
static_assert(offsetof(SMCParamBlock, dataType) == 32);
static_assert(offsetof(SMCParamBlock, dataAttributes) == 36);
static_assert(offsetof(SMCParamBlock, result) == 37);
static_assert(offsetof(SMCParamBlock, status) == 38);
static_assert(offsetof(SMCParamBlock, command) == 39);
static_assert(offsetof(SMCParamBlock, data32) == 40);
static_assert(offsetof(SMCParamBlock, bytes) == 44);

// The SMC's commands, in the block's `command` byte.
enum SMCCommand : std::uint8_t {
    kSMCReadBytes = 5,
    kSMCKeyCount = 7,
    kSMCKeyAtIndex = 8,
    kSMCKeyInfo = 9,
};

// The SMC's answer for a key it does not have, in the reply's `result`.
inline constexpr std::uint8_t kSMCResultKeyNotFound = 0x84;

using SMCBlockBytes = std::span<const std::byte, kSMCParamBlockSize>;
using SMCMutableBlockBytes = std::span<std::byte, kSMCParamBlockSize>;

// An open connection to an SMC user client; destroying it closes the connection.
class SMCConnection {
  public:
    virtual ~SMCConnection() = default;

    // The user client's block method (selector 2): one block in, one block out. Returns 0 when the
    // call itself went through; the SMC's own verdict is the reply's `result`.
    virtual int call(SMCBlockBytes input, SMCMutableBlockBytes output) = 0;
};

// The SMC user-client services of the machine, by name.
class SMCService {
  public:
    virtual ~SMCService() = default;

    // A connection to the named service; nothing when the machine has no such service or it does
    // not open.
    virtual std::unique_ptr<SMCConnection> open(std::string_view serviceName) const = 0;
};

} // namespace tarsik::platform
