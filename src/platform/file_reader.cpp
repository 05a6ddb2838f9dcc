#include "platform/file_reader.h"

#include "platform/diagnostics.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace tarsik::platform {

namespace {

// A missing file is an attribute this driver does not have; any other failure is worth a word.
void diagnoseUnreadable(const std::filesystem::path& path, int error) {
    if (error != ENOENT && error != ENOTDIR) {
        diagnose(path.string() + " could not be read: " + errorText(error));
    }
}

} // namespace

std::optional<std::string> readFile(const std::filesystem::path& path, std::size_t maxBytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        diagnoseUnreadable(path, errno);
        return std::nullopt;
    }
    // Grown as the file turns out longer: most files are a line, and clearing a buffer of the
    // full bound would cost more than reading them.
    std::string data;
    std::size_t filled = 0;
    bool failed = false;
    while (filled < maxBytes) {
        if (filled == data.size()) {
            data.resize(std::min(maxBytes, std::max<std::size_t>(256, data.size() * 2)));
        }
        const ssize_t count = ::read(fd, data.data() + filled, data.size() - filled);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            diagnoseUnreadable(path, errno);
            failed = true;
            break;
        }
        if (count == 0) {
            break;
        }
        filled += static_cast<std::size_t>(count);
    }
    ::close(fd);
    if (failed) {
        return std::nullopt;
    }
    data.resize(filled);
    return data;
}

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view space = " \t\n\r\v\f";
    const auto first = text.find_first_not_of(space);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(space);
    return text.substr(first, last - first + 1);
}

std::optional<std::string> readAttribute(const std::filesystem::path& path) {
    auto data = readFile(path);
    if (!data) {
        return std::nullopt;
    }
    return std::string(trimmed(*data));
}

std::optional<std::uint64_t> parseUnsigned(std::string_view text, int base) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int64_t> parseSigned(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint64_t> parseHex(std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
    }
    return parseUnsigned(text, 16);
}

std::optional<std::uint64_t> readUnsignedAttribute(const std::filesystem::path& path) {
    const auto text = readAttribute(path);
    if (!text) {
        return std::nullopt;
    }
    if (text->starts_with("0x") || text->starts_with("0X")) {
        return parseHex(*text);
    }
    return parseUnsigned(*text);
}

std::optional<std::string> readLinkName(const std::filesystem::path& path) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) {
        return std::nullopt;
    }
    auto name =
        std::filesystem::path(std::string(target, static_cast<std::size_t>(length))).filename().string();
    if (name.empty()) {
        return std::nullopt;
    }
    return name;
}

std::vector<std::filesystem::path> entriesStartingWith(const std::filesystem::path& folder,
                                                       std::string_view prefix) {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    for (const std::filesystem::directory_iterator end; !error && entries != end; entries.increment(error)) {
        if (entries->path().filename().string().starts_with(prefix)) {
            found.push_back(entries->path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace tarsik::platform
