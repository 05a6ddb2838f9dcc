#include "platform/pci/amdgpu_ids.h"

#include "platform/file_reader.h"

namespace tarsik::platform {

std::optional<std::string> amdgpuMarketingName(std::string_view idsText, std::uint16_t device,
                                               std::uint8_t revision) {
    bool versionSeen = false;
    while (!idsText.empty()) {
        const auto end = idsText.find('\n');
        const auto line = trimmed(idsText.substr(0, end));
        idsText.remove_prefix(end == std::string_view::npos ? idsText.size() : end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (!versionSeen) {
            versionSeen = true; // the first data line is the file's version
            continue;
        }
        const auto firstComma = line.find(',');
        const auto secondComma =
            firstComma == std::string_view::npos ? firstComma : line.find(',', firstComma + 1);
        if (secondComma == std::string_view::npos) {
            continue;
        }
        const auto lineDevice = parseHex(trimmed(line.substr(0, firstComma)));
        const auto lineRevision =
            parseHex(trimmed(line.substr(firstComma + 1, secondComma - firstComma - 1)));
        if (lineDevice != device || lineRevision != revision) {
            continue;
        }
        const auto name = trimmed(line.substr(secondComma + 1));
        if (!name.empty()) {
            return std::string(name);
        }
    }
    return std::nullopt;
}

std::optional<std::string> amdgpuMarketingName(const SystemPaths& paths, std::uint16_t device,
                                               std::uint8_t revision) {
    // The Debian file is about 20 KB; a bound keeps a corrupt one from costing much.
    const auto text = readFile(paths.amdgpuIds(), 1 << 20);
    if (!text) {
        return std::nullopt;
    }
    return amdgpuMarketingName(*text, device, revision);
}

} // namespace tarsik::platform
