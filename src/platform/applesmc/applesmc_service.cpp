#include "platform/applesmc/applesmc_service.h"

#include "platform/diagnostics.h"
#include "platform/file_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <unistd.h>
#include <unordered_map>

namespace tarsik::platform {
namespace {

// A real SMC has a few thousand keys at most; a larger count is not worth believing.
constexpr std::uint32_t kMaxIndexedKeys = 20000;
constexpr std::size_t kMaxValueBytes = 32;

// The driver's selected index is one for the whole machine; this process's scans take turns.
// Other processes may still move it, which is why every read checks the selection afterwards.
std::mutex selectionMutex;

// Four bytes packed first byte highest, as the SMC codes keys and types.
std::optional<std::uint32_t> fourCharacterCode(std::string_view text) {
    if (text.size() != 4) {
        return std::nullopt;
    }
    std::uint32_t code = 0;
    for (const char c : text) {
        code = (code << 8) | static_cast<std::uint8_t>(c);
    }
    return code;
}

// The driver prints names and types as four bytes and a newline; a type may end in a blank.
std::optional<std::uint32_t> readCode(const std::filesystem::path& path) {
    const auto text = readFile(path, 8);
    if (!text || !text->ends_with('\n')) {
        return std::nullopt;
    }
    return fourCharacterCode(std::string_view(*text).substr(0, text->size() - 1));
}

std::optional<std::uint32_t> readNumber(const std::filesystem::path& path) {
    const auto value = readUnsignedAttribute(path);
    if (!value || *value > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*value);
}

// Like `echo N > file`: sysfs takes the whole number in one write.
bool writeNumber(const std::filesystem::path& path, std::uint32_t value) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        diagnose(path.string() + " could not be written: " + errorText(errno));
        return false;
    }
    const std::string text = std::to_string(value) + "\n";
    ssize_t written = 0;
    do {
        written = ::write(fd, text.data(), text.size());
    } while (written < 0 && errno == EINTR);
    const int error = errno;
    ::close(fd);
    if (written != static_cast<ssize_t>(text.size())) {
        diagnose(path.string() + " could not be written: " + errorText(written < 0 ? error : EIO));
        return false;
    }
    return true;
}

bool canWrite(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        diagnose("applesmc refused: " + path.string() + " cannot be written: " + errorText(errno));
        return false;
    }
    ::close(fd);
    return true;
}

class AppleSMCConnection final : public SMCConnection {
  public:
    AppleSMCConnection(std::filesystem::path directory, std::function<void()> afterSelect)
        : directory_(std::move(directory)), afterSelect_(std::move(afterSelect)) {}

    int call(SMCBlockBytes input, SMCMutableBlockBytes output) override {
        SMCParamBlock request;
        std::memcpy(&request, input.data(), sizeof request);
        SMCParamBlock reply{};
        int status = EINVAL;
        {
            const std::lock_guard lock(selectionMutex);
            switch (request.command) {
            case kSMCKeyCount:
                status = keyCount(reply);
                break;
            case kSMCKeyAtIndex:
                status = keyAtIndex(request.data32, reply);
                break;
            case kSMCKeyInfo:
                status = keyInfo(request.key, reply);
                break;
            case kSMCReadBytes:
                status = readBytes(request, reply);
                break;
            default:
                break;
            }
        }
        std::memcpy(output.data(), &reply, sizeof reply);
        return status;
    }

  private:
    std::filesystem::path file(const char* name) const { return directory_ / name; }

    int keyCount(SMCParamBlock& reply) const {
        const auto count = readNumber(file("key_count"));
        if (!count) {
            return EIO;
        }
        reply.data32 = *count;
        return 0;
    }

    int keyAtIndex(std::uint32_t index, SMCParamBlock& reply) const {
        if (!writeNumber(file("key_at_index"), index)) {
            return EINVAL;
        }
        interleave();
        const auto key = readCode(file("key_at_index_name"));
        if (!key || !stillSelected(index)) {
            return EIO;
        }
        reply.key = *key;
        return 0;
    }

    int keyInfo(std::uint32_t key, SMCParamBlock& reply) {
        const auto index = indexOf(key);
        if (!index) {
            reply.result = kSMCResultKeyNotFound;
            return 0;
        }
        if (!select(*index, key)) {
            return EIO;
        }
        const auto type = readCode(file("key_at_index_type"));
        const auto size = readNumber(file("key_at_index_data_length"));
        if (!type || !size || !stillSelected(*index)) {
            return EIO;
        }
        reply.key = key;
        reply.dataSize = *size;
        reply.dataType = *type;
        return 0;
    }

    int readBytes(const SMCParamBlock& request, SMCParamBlock& reply) {
        const auto index = indexOf(request.key);
        if (!index) {
            reply.result = kSMCResultKeyNotFound;
            return 0;
        }
        if (request.dataSize > kMaxValueBytes || !select(*index, request.key)) {
            return EIO;
        }
        // The value is raw binary, exactly data-length bytes; one more tells a longer value apart.
        const auto data = readFile(file("key_at_index_data"), kMaxValueBytes + 1);
        if (!data || data->size() != request.dataSize || !stillSelected(*index)) {
            return EIO;
        }
        reply.key = request.key;
        std::memcpy(reply.bytes.data(), data->data(), data->size());
        return 0;
    }

    // Selects the index and checks that it still holds the key the index was built with.
    bool select(std::uint32_t index, std::uint32_t key) const {
        if (!writeNumber(file("key_at_index"), index) || readCode(file("key_at_index_name")) != key) {
            return false;
        }
        interleave();
        return true;
    }

    void interleave() const {
        if (afterSelect_) {
            afterSelect_();
        }
    }

    // Another process may have moved the selection while we read.
    bool stillSelected(std::uint32_t index) const { return readNumber(file("key_at_index")) == index; }

    std::optional<std::uint32_t> indexOf(std::uint32_t key) {
        if (!index_) {
            index_ = buildIndex();
        }
        const auto found = index_->find(key);
        if (found == index_->end()) {
            return std::nullopt;
        }
        return found->second;
    }

    std::unordered_map<std::uint32_t, std::uint32_t> buildIndex() const {
        std::unordered_map<std::uint32_t, std::uint32_t> index;
        const auto count = readNumber(file("key_count"));
        if (!count) {
            return index;
        }
        const std::uint32_t limit = std::min(*count, kMaxIndexedKeys);
        index.reserve(limit);
        for (std::uint32_t i = 0; i < limit; ++i) {
            if (!writeNumber(file("key_at_index"), i)) {
                continue;
            }
            if (const auto key = readCode(file("key_at_index_name"))) {
                index.try_emplace(*key, i);
            }
        }
        return index;
    }

    std::filesystem::path directory_;
    std::function<void()> afterSelect_;
    std::optional<std::unordered_map<std::uint32_t, std::uint32_t>> index_;
};

} // namespace

std::unique_ptr<SMCConnection> AppleSMCService::open(std::string_view serviceName) const {
    const auto directory = paths_.applesmc();
    if (serviceName != "AppleSMC") {
        return nullptr;
    }
    std::error_code error;
    if (!std::filesystem::exists(directory, error)) {
        diagnose("applesmc absent: no " + directory.string() + " (only Intel Macs have it)");
        return nullptr;
    }
    if (!readNumber(directory / "key_count") || !canWrite(directory / "key_at_index")) {
        return nullptr;
    }
    return std::make_unique<AppleSMCConnection>(directory, afterSelect_);
}

} // namespace tarsik::platform
