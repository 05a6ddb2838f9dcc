#include "platform/pci/pci_ids.h"

#include "platform/diagnostics.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarsik::platform {
namespace {

bool isLowerHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// A line of one level of the database: a vendor line ("1002  Advanced Micro Devices..."), or
// with `indent` "\t" a device line of a vendor's block. Each level is sorted by its id.
struct IdLine {
    std::size_t offset;
    std::uint32_t id; // past every four-digit id at the end of the text
};
constexpr std::uint32_t pastLastId = 0x10000;

// Searches walk line by line through blocks of thousands of lines, so this looks at the first
// character of the id before anything else.
inline std::optional<std::uint32_t> idOfLine(std::string_view text, std::size_t position,
                                             std::string_view indent) {
    const std::size_t idStart = position + indent.size();
    if (idStart + 5 > text.size() || !isLowerHex(text[idStart]) ||
        text.compare(position, indent.size(), indent) != 0 || text[idStart + 4] != ' ') {
        return std::nullopt;
    }
    std::uint32_t id = 0;
    for (const char c : text.substr(idStart, 4)) {
        if (!isLowerHex(c)) {
            return std::nullopt;
        }
        id = id * 16 + static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    }
    return id;
}

// The first line of the level that starts in [position, limit); nothing when none does.
std::optional<IdLine> nextIdLine(std::string_view text, std::size_t position, std::size_t limit,
                                 std::string_view indent) {
    limit = std::min(limit, text.size());
    if (position > 0 && position < limit && text[position - 1] != '\n') {
        const void* newline = std::memchr(text.data() + position, '\n', limit - position);
        position = newline == nullptr
                       ? limit
                       : static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) + 1;
    }
    while (position < limit) {
        if (const auto id = idOfLine(text, position, indent)) {
            return IdLine{position, *id};
        }
        const void* newline = std::memchr(text.data() + position, '\n', limit - position);
        if (newline == nullptr) {
            break;
        }
        position = static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) + 1;
    }
    return std::nullopt;
}

// The first line of the level whose id is at least `id`: a binary search over byte offsets.
// A probe walks forward to the next line of the level, but never past the previous probe that
// found one, so a probe inside a large block does not read the rest of it again.
IdLine lowerBound(std::string_view text, std::string_view indent, std::uint32_t id, std::size_t from = 0) {
    std::size_t low = from;
    std::size_t high = text.size();
    IdLine best{text.size(), pastLastId}; // no line of the level starts in [high, best.offset)
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const auto found = nextIdLine(text, middle, high, indent).value_or(best);
        if (found.id < id) {
            low = found.offset + 1;
        } else {
            high = middle;
            best = found;
        }
    }
    return best;
}

// The name after a line's id and its blanks.
std::optional<std::string> nameAfter(std::string_view line, std::size_t prefixLength) {
    if (line.size() <= prefixLength) {
        return std::nullopt;
    }
    auto name = line.substr(prefixLength);
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) {
        name.remove_prefix(1);
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '\r')) {
        name.remove_suffix(1);
    }
    if (name.empty()) {
        return std::nullopt;
    }
    return std::string(name);
}

// Names this process has looked up, by database file and question: the fast device list, the
// display profile and the full inventory ask for the same few GPUs.
std::mutex rememberedMutex;
std::map<std::string, std::optional<std::string>, std::less<>> rememberedNames;

std::string question(char kind, std::initializer_list<std::uint16_t> ids) {
    std::string text(1, kind);
    for (const auto id : ids) {
        char hex[6];
        std::snprintf(hex, sizeof hex, ":%04x", id);
        text += hex;
    }
    return text;
}

std::string_view lineAt(std::string_view text, std::size_t offset) {
    const auto line = text.substr(offset);
    return line.substr(0, line.find('\n'));
}

} // namespace

PCIIDs::PCIIDs(const SystemPaths& paths) {
    for (const auto& path : {paths.pciIds(), paths.pciIdsAlternative()}) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat status {};
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
            void* map =
                ::mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (map != MAP_FAILED) {
                data_ = static_cast<const char*>(map);
                size_ = static_cast<std::size_t>(status.st_size);
                mapped_ = true;
                // A replaced or rewritten file is another database.
                fileIdentity_ = path.string() + '|' + std::to_string(status.st_ino) + '|' +
                                std::to_string(status.st_size) + '|' + std::to_string(status.st_mtim.tv_sec) +
                                '.' + std::to_string(status.st_mtim.tv_nsec) + '|';
            }
        }
        ::close(fd);
        if (mapped_) {
            return;
        }
    }
    diagnose(paths.pciIds().string() +
             " could not be read; GPUs without a driver's name are named by number");
}

PCIIDs::PCIIDs(std::string text) : owned_(std::move(text)), data_(owned_.data()), size_(owned_.size()) {}

PCIIDs::~PCIIDs() {
    if (mapped_) {
        ::munmap(const_cast<char*>(data_), size_);
    }
}

std::optional<std::string_view> PCIIDs::vendorBlock(std::uint16_t vendor) const {
    if (data_ == nullptr) {
        return std::nullopt;
    }
    const std::string_view all(data_, size_);
    // pci.ids keeps its vendors in ascending order, so a binary search touches a few pages of the
    // 1.3 MB file instead of reading through it; the block ends where the next vendor starts.
    const auto start = lowerBound(all, "", vendor);
    if (start.id != vendor) {
        return std::nullopt;
    }
    const auto end = lowerBound(all, "", vendor + 1u, start.offset + 1);
    return all.substr(start.offset, end.offset - start.offset);
}

template <typename Lookup>
std::optional<std::string> PCIIDs::remembered(const std::string& question, Lookup lookup) const {
    if (fileIdentity_.empty()) {
        return lookup();
    }
    const auto key = fileIdentity_ + question;
    {
        const std::lock_guard lock(rememberedMutex);
        if (const auto found = rememberedNames.find(key); found != rememberedNames.end()) {
            return found->second;
        }
    }
    auto name = lookup();
    const std::lock_guard lock(rememberedMutex);
    rememberedNames.emplace(key, name);
    return name;
}

std::optional<std::string> PCIIDs::vendorName(std::uint16_t vendor) const {
    return remembered(question('v', {vendor}), [&]() -> std::optional<std::string> {
        const auto block = vendorBlock(vendor);
        if (!block) {
            return std::nullopt;
        }
        return nameAfter(lineAt(*block, 0), 4);
    });
}

std::optional<std::string> PCIIDs::deviceName(std::uint16_t vendor, std::uint16_t device) const {
    return remembered(question('d', {vendor, device}), [&]() -> std::optional<std::string> {
        const auto block = vendorBlock(vendor);
        if (!block) {
            return std::nullopt;
        }
        const auto line = lowerBound(*block, "\t", device);
        if (line.id != device) {
            return std::nullopt;
        }
        return nameAfter(lineAt(*block, line.offset), 5);
    });
}

std::optional<std::string> PCIIDs::subsystemName(std::uint16_t vendor, std::uint16_t device,
                                                 std::uint16_t subVendor, std::uint16_t subDevice) const {
    return remembered(question('s', {vendor, device, subVendor, subDevice}),
                      [&]() -> std::optional<std::string> {
                          const auto block = vendorBlock(vendor);
                          if (!block) {
                              return std::nullopt;
                          }
                          const auto deviceLine = lowerBound(*block, "\t", device);
                          if (deviceLine.id != device) {
                              return std::nullopt;
                          }
                          // The device's subsystems follow its line, up to the next device.
                          char prefix[16];
                          std::snprintf(prefix, sizeof prefix, "\t\t%04x %04x ", subVendor, subDevice);
                          for (auto newline = block->find('\n', deviceLine.offset);
                               newline != std::string_view::npos; newline = block->find('\n', newline + 1)) {
                              if (idOfLine(*block, newline + 1, "\t")) {
                                  break;
                              }
                              const auto line = lineAt(*block, newline + 1);
                              if (line.starts_with(prefix)) {
                                  return nameAfter(line, std::strlen(prefix));
                              }
                          }
                          return std::nullopt;
                      });
}

} // namespace tarsik::platform
