#include "platform/drm/drm_connectors.h"

#include "platform/file_reader.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace tarsik::platform {
namespace {

// 256 blocks of 128 bytes is the most an EDID can announce.
constexpr std::size_t edidLimit = std::size_t{256} * 128;

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// "card1-DP-2" < "card1-DP-10" < "card10-DP-1".
bool naturalLess(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const auto startA = i;
            const auto startB = j;
            while (i < a.size() && isDigit(a[i])) {
                ++i;
            }
            while (j < b.size() && isDigit(b[j])) {
                ++j;
            }
            const auto numberA = parseUnsigned(std::string_view(a).substr(startA, i - startA));
            const auto numberB = parseUnsigned(std::string_view(b).substr(startB, j - startB));
            if (numberA != numberB) {
                return numberA < numberB;
            }
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j];
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

bool isCardName(const std::string& name) {
    return name.size() > 4 && name.starts_with("card") &&
           std::all_of(name.begin() + 4, name.end(), [](char c) { return isDigit(c); });
}

struct Found {
    std::string directoryName; // "card1-DP-2"
    std::uint64_t connectorId = std::numeric_limits<std::uint64_t>::max();
    bool internalPanel = false;
    DRMConnector connector;
};

bool isInternalPanel(std::string_view connectorName) {
    return connectorName.starts_with("eDP-") || connectorName.starts_with("LVDS-") ||
           connectorName.starts_with("DSI-");
}

void addConnected(const std::filesystem::path& card, std::vector<Found>& found) {
    const auto prefix = card.filename().string() + "-";
    std::error_code error;
    std::filesystem::directory_iterator entries(card, error);
    for (const std::filesystem::directory_iterator end; !error && entries != end; entries.increment(error)) {
        const auto name = entries->path().filename().string();
        if (!name.starts_with(prefix) || name.size() == prefix.size() ||
            name.compare(prefix.size(), 10, "Writeback-") == 0) {
            continue;
        }
        const auto directory = entries->path();
        if (readAttribute(directory / "status") != "connected") {
            continue;
        }
        std::optional<bool> enabled;
        if (const auto text = readAttribute(directory / "enabled")) {
            enabled = *text == "enabled";
        }
        std::optional<std::string> firstMode;
        if (const auto modes = readFile(directory / "modes")) {
            const auto line = trimmed(std::string_view(*modes).substr(0, modes->find('\n')));
            if (!line.empty()) {
                firstMode = std::string(line);
            }
        }
        found.push_back(Found{
            .directoryName = name,
            .connectorId = readUnsignedAttribute(directory / "connector_id")
                               .value_or(std::numeric_limits<std::uint64_t>::max()),
            .internalPanel = isInternalPanel(std::string_view(name).substr(prefix.size())),
            .connector =
                DRMConnector{
                    .name = name.substr(prefix.size()),
                    .enabled = enabled,
                    .firstMode = std::move(firstMode),
                    .edid = readFile(directory / "edid", edidLimit).value_or(""),
                },
        });
    }
}

} // namespace

std::vector<DRMConnector> connectedDisplays(const PCIDevice& device) {
    return connectedDisplays(device.directory);
}

std::vector<DRMConnector> connectedDisplays(const std::filesystem::path& device) {
    std::vector<Found> found;
    std::error_code error;
    std::filesystem::directory_iterator cards(device / "drm", error);
    for (const std::filesystem::directory_iterator end; !error && cards != end; cards.increment(error)) {
        if (isCardName(cards->path().filename().string())) {
            addConnected(cards->path(), found);
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.connectorId != b.connectorId) {
            return a.connectorId < b.connectorId;
        }
        if (a.internalPanel != b.internalPanel) {
            return a.internalPanel;
        }
        return naturalLess(a.directoryName, b.directoryName);
    });
    std::vector<DRMConnector> connectors;
    connectors.reserve(found.size());
    for (auto& entry : found) {
        connectors.push_back(std::move(entry.connector));
    }
    return connectors;
}

} // namespace tarsik::platform
