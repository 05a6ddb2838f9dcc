#include "platform/soc/drm_platform_gpus.h"

#include "platform/file_reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>
#include <map>

namespace tarsik::platform {
namespace {

namespace fs = std::filesystem;

// A DRM device's parent as /sys/class/drm shows it.
struct DRMDevice {
    fs::path directory;
    std::string driver; // the platform driver's name, which may differ from the DRM driver's
    unsigned firstNode = std::numeric_limits<unsigned>::max();
    bool renders = false;
};

// The number after `prefix` when the name is exactly that ("card1"; not "card1-HDMI-A-1").
std::optional<unsigned> nodeNumber(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size() ||
        !std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
        return std::nullopt;
    }
    const auto number = parseUnsigned(name.substr(prefix.size()));
    if (!number || *number > std::numeric_limits<unsigned>::max()) {
        return std::nullopt;
    }
    return static_cast<unsigned>(*number);
}

// The DRM driver's word for a platform driver that drives a GPU. vc4 is on the list, but only
// the VideoCore IV one has a render node; later vc4 generations only drive displays.
std::optional<std::string> gpuDriverWord(std::string_view platformDriver) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 14> drivers{{
        {"asahi", "asahi"},
        {"etnaviv", "etnaviv"},
        {"lima", "lima"},
        {"panfrost", "panfrost"},
        {"panthor", "panthor"},
        {"powervr", "powervr"},
        {"v3d", "v3d"},
        {"vc4-drm", "vc4"},
        {"vc4", "vc4"},
        {"nouveau", "nouveau"},
        {"msm", "msm"},
        {"msm_dpu", "msm"},
        {"msm_mdp", "msm"},
        {"adreno", "msm"},
    }};
    for (const auto& [name, word] : drivers) {
        if (name == platformDriver) {
            return std::string(word);
        }
    }
    return std::nullopt;
}

// Framebuffers the firmware left behind and virtual adapters have connectors but draw nothing
// for a GPU.
bool isStandInDisplay(std::string_view platformDriver) {
    static constexpr std::array<std::string_view, 6> drivers{
        "simple-framebuffer", "simpledrm", "ofdrm", "evdi", "vgem", "vkms"};
    return std::find(drivers.begin(), drivers.end(), platformDriver) != drivers.end();
}

// The platform DRM devices by folder: a card and its render node share one.
std::vector<DRMDevice> platformDRMDevices(const SystemPaths& paths) {
    std::map<fs::path, DRMDevice> byDirectory;
    std::error_code error;
    fs::directory_iterator entries(paths.drmClass(), error);
    for (const fs::directory_iterator end; !error && entries != end; entries.increment(error)) {
        const auto name = entries->path().filename().string();
        const auto card = nodeNumber(name, "card");
        const auto render = nodeNumber(name, "renderD");
        if (!card && !render) {
            continue;
        }
        std::error_code resolveError;
        auto directory = fs::canonical(entries->path() / "device", resolveError);
        // PCI GPUs come from the PCI list; Tegra's host1x and USB adapters are no GPUs.
        if (resolveError || readLinkName(directory / "subsystem") != "platform") {
            continue;
        }
        const auto driver = readLinkName(directory / "driver");
        if (!driver) {
            continue;
        }
        auto& device = byDirectory[directory];
        device.directory = directory;
        device.driver = *driver;
        device.renders = device.renders || render.has_value();
        // Render nodes count from 128; the card's number orders the devices.
        const unsigned node = card ? *card : (*render >= 128 ? *render - 128 : *render);
        device.firstNode = std::min(device.firstNode, node);
    }
    std::vector<DRMDevice> devices;
    devices.reserve(byDirectory.size());
    for (auto& [directory, device] : byDirectory) {
        devices.push_back(std::move(device));
    }
    std::sort(devices.begin(), devices.end(),
              [](const DRMDevice& a, const DRMDevice& b) { return a.firstNode < b.firstNode; });
    return devices;
}

// msm's card belongs to the display controller; the GPU core is the device the adreno driver
// bound, which carries the GPU's own devfreq and compatible.
fs::path adrenoCore(const SystemPaths& paths, const fs::path& card) {
    std::error_code error;
    fs::directory_iterator entries(paths.platformDrivers() / "adreno", error);
    for (const fs::directory_iterator end; !error && entries != end; entries.increment(error)) {
        std::error_code resolveError;
        if (entries->is_symlink(resolveError) && entries->path().filename() != "module") {
            if (auto core = fs::canonical(entries->path(), resolveError); !resolveError) {
                return core;
            }
        }
    }
    return card;
}

std::vector<std::string> compatibleStrings(const fs::path& device) {
    std::vector<std::string> strings;
    const auto text = readFile(device / "of_node/compatible").value_or("");
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = std::min(text.find('\0', start), text.size());
        if (end > start) {
            strings.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return strings;
}

} // namespace

std::vector<PlatformGPU> listPlatformGPUs(const SystemPaths& paths) {
    std::vector<PlatformGPU> gpus;
    std::vector<fs::path> displayControllers;
    for (const auto& device : platformDRMDevices(paths)) {
        const auto word = gpuDriverWord(device.driver);
        if (!device.renders || !word) {
            if (!isStandInDisplay(device.driver)) {
                displayControllers.push_back(device.directory);
            }
            continue;
        }
        const auto core = *word == "msm" && device.driver != "adreno" ? adrenoCore(paths, device.directory)
                                                                      : device.directory;
        gpus.push_back(PlatformGPU{
            .busAddress = core.filename().string(),
            .directory = core,
            .driver = *word,
            .compatible = compatibleStrings(core),
            .displayDevices = {device.directory},
        });
    }
    // As Mesa pairs them: a display-only controller on the platform bus hands its frames to the
    // SoC's GPU. Machines with two platform GPUs are rare enough that the first takes them.
    if (!gpus.empty()) {
        auto& displays = gpus.front().displayDevices;
        displays.insert(displays.end(), displayControllers.begin(), displayControllers.end());
    }
    return gpus;
}

std::optional<std::string> machineModel(const SystemPaths& paths) {
    const auto text = readFile(paths.deviceTree() / "model");
    if (!text) {
        return std::nullopt;
    }
    const auto model = trimmed(std::string_view(*text).substr(0, text->find('\0')));
    if (model.empty()) {
        return std::nullopt;
    }
    return std::string(model);
}

std::uint64_t systemMemoryBytes(const SystemPaths& paths) {
    const auto text = readFile(paths.meminfo()).value_or("");
    constexpr std::string_view key = "MemTotal:";
    const auto start = text.find(key);
    if (start == std::string::npos || (start != 0 && text[start - 1] != '\n')) {
        return 0;
    }
    auto line = std::string_view(text).substr(start + key.size());
    line = line.substr(0, line.find('\n'));
    line = trimmed(line);
    if (!line.ends_with(" kB")) {
        return 0;
    }
    line.remove_suffix(3);
    const auto kibibytes = parseUnsigned(trimmed(line));
    if (!kibibytes || *kibibytes > std::numeric_limits<std::uint64_t>::max() / 1024) {
        return 0;
    }
    return *kibibytes * 1024;
}

} // namespace tarsik::platform
