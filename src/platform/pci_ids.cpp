#include "platform/pci_ids.h"

#include "platform/diagnostics.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarsik::platform {
namespace {

std::string hex4(std::uint16_t value) {
    char text[5];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

constexpr std::uint32_t pastLastVendor = 0x10000;

bool isLowerHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// The first vendor line ("1002  Advanced Micro Devices...") that starts at or after `position`,
// with its identifier; the class section or the end of the text count as past every vendor.
std::pair<std::size_t, std::uint32_t> nextVendorLine(std::string_view all, std::size_t position) {
    if (position > 0 && all[position - 1] != '\n') {
        const auto newline = all.find('\n', position);
        position = newline == std::string_view::npos ? all.size() : newline + 1;
    }
    while (position + 6 <= all.size()) {
        const auto line = all.substr(position, 6);
        if (line.starts_with("C ")) {
            break;
        }
        if (isLowerHex(line[0]) && isLowerHex(line[1]) && isLowerHex(line[2]) && isLowerHex(line[3]) &&
            line[4] == ' ' && line[5] == ' ') {
            return {position,
                    static_cast<std::uint32_t>(std::stoul(std::string(line.substr(0, 4)), nullptr, 16))};
        }
        const auto newline = all.find('\n', position);
        if (newline == std::string_view::npos) {
            break;
        }
        position = newline + 1;
    }
    return {all.size(), pastLastVendor};
}

// The name after "<id>  " on a line that starts with `prefix` (already matched).
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

// Calls `visit` for each line of `block` until it returns true.
template <typename Visit> void forEachLine(std::string_view block, Visit visit) {
    while (!block.empty()) {
        const auto end = block.find('\n');
        const auto line = block.substr(0, end);
        if (visit(line)) {
            return;
        }
        if (end == std::string_view::npos) {
            return;
        }
        block.remove_prefix(end + 1);
    }
}

} // namespace

PciIds::PciIds(const SystemPaths& paths) {
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

PciIds::PciIds(std::string text) : owned_(std::move(text)), data_(owned_.data()), size_(owned_.size()) {}

PciIds::~PciIds() {
    if (mapped_) {
        ::munmap(const_cast<char*>(data_), size_);
    }
}

std::optional<std::string_view> PciIds::vendorBlock(std::uint16_t vendor) const {
    if (data_ == nullptr) {
        return std::nullopt;
    }
    const std::string_view all(data_, size_);
    // pci.ids keeps its vendors in ascending order, so a binary search over byte offsets touches
    // a few pages of the 1.3 MB file instead of reading through it.
    std::size_t low = 0;
    std::size_t high = all.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const auto [offset, id] = nextVendorLine(all, middle);
        if (id < vendor) {
            low = offset + 1;
        } else {
            high = middle;
        }
    }
    const auto [start, id] = nextVendorLine(all, low);
    if (id != vendor) {
        return std::nullopt;
    }
    // The block ends at the next line that starts neither with a tab nor with a comment.
    std::size_t end = start;
    while (true) {
        end = all.find('\n', end);
        if (end == std::string_view::npos || end + 1 >= all.size()) {
            end = all.size();
            break;
        }
        const char next = all[end + 1];
        if (next != '\t' && next != '#' && next != '\n') {
            break;
        }
        ++end;
    }
    return all.substr(start, end - start);
}

std::optional<std::string> PciIds::vendorName(std::uint16_t vendor) const {
    const auto block = vendorBlock(vendor);
    if (!block) {
        return std::nullopt;
    }
    return nameAfter(block->substr(0, block->find('\n')), 4);
}

std::optional<std::string> PciIds::deviceName(std::uint16_t vendor, std::uint16_t device) const {
    const auto block = vendorBlock(vendor);
    if (!block) {
        return std::nullopt;
    }
    const std::string prefix = "\t" + hex4(device) + " ";
    std::optional<std::string> name;
    forEachLine(*block, [&](std::string_view line) {
        if (line.starts_with(prefix)) {
            name = nameAfter(line, prefix.size());
            return true;
        }
        return false;
    });
    return name;
}

std::optional<std::string> PciIds::subsystemName(std::uint16_t vendor, std::uint16_t device,
                                                 std::uint16_t subVendor, std::uint16_t subDevice) const {
    const auto block = vendorBlock(vendor);
    if (!block) {
        return std::nullopt;
    }
    const std::string devicePrefix = "\t" + hex4(device) + " ";
    const std::string subsystemPrefix = "\t\t" + hex4(subVendor) + " " + hex4(subDevice) + " ";
    bool inDevice = false;
    std::optional<std::string> name;
    forEachLine(*block, [&](std::string_view line) {
        if (line.starts_with("\t\t")) {
            if (inDevice && line.starts_with(subsystemPrefix)) {
                name = nameAfter(line, subsystemPrefix.size());
                return true;
            }
            return false;
        }
        if (line.starts_with("\t")) {
            if (inDevice) {
                return true;
            }
            inDevice = line.starts_with(devicePrefix);
        }
        return false;
    });
    return name;
}

} // namespace tarsik::platform
