#include "profiler/display_profile.h"

#include "platform/byte_count.h"
#include "platform/drm/drm_connectors.h"
#include "platform/drm/edid.h"
#include "platform/file_reader.h"
#include "platform/nvml/nvml_session.h"
#include "platform/pci/gpu_identity.h"
#include "platform/pci/gpu_properties.h"
#include "platform/pci/pci_device.h"
#include "platform/pci/pci_ids.h"
#include "platform/soc/drm_platform_gpus.h"
#include "platform/soc/platform_gpu_names.h"
#include "profiler/vulkan_drivers.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>

namespace tarsik::profiler {
namespace {

using Json = nlohmann::ordered_json;
using platform::vendor_ids::amd;
using platform::vendor_ids::amdAlternative;
using platform::vendor_ids::intel;
using platform::vendor_ids::nvidia;

std::string hex4(unsigned value) {
    char text[7];
    std::snprintf(text, sizeof text, "0x%04x", value & 0xffff);
    return text;
}

std::string resolutionText(unsigned width, unsigned height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

std::optional<std::string> vendorValue(std::uint16_t vendorId, const platform::PCIIDs& pciIds) {
    switch (vendorId) {
    case amd:
    case amdAlternative:
        return "sppci_vendor_amd";
    case intel:
        return "sppci_vendor_intel";
    case nvidia:
        return "sppci_vendor_nvidia";
    default:
        // The same short name the device list gives, so both passes agree.
        return platform::vendorShortName(vendorId, pciIds);
    }
}

// "1920x1080" or "1920x1080i" from the connector's mode list.
std::optional<std::string> modeResolution(const std::string& mode) {
    const auto cross = mode.find('x');
    if (cross == std::string::npos) {
        return std::nullopt;
    }
    std::string_view height = std::string_view(mode).substr(cross + 1);
    if (height.ends_with('i')) {
        height.remove_suffix(1);
    }
    const auto w = platform::parseUnsigned(std::string_view(mode).substr(0, cross));
    const auto h = platform::parseUnsigned(height);
    if (!w || !h || *w == 0 || *h == 0 || *w > 100'000 || *h > 100'000) {
        return std::nullopt;
    }
    return resolutionText(static_cast<unsigned>(*w), static_cast<unsigned>(*h));
}

Json displayEntry(const platform::DRMConnector& connector, bool main) {
    const auto edid = platform::parseEDID(connector.edid);
    Json display;
    display["_name"] = edid && edid->monitorName ? *edid->monitorName : connector.name;
    if (edid && edid->preferredTiming) {
        display["_spdisplays_resolution"] =
            resolutionText(edid->preferredTiming->width, edid->preferredTiming->height);
    } else if (const auto resolution =
                   connector.firstMode ? modeResolution(*connector.firstMode) : std::nullopt) {
        display["_spdisplays_resolution"] = *resolution;
    }
    display["spdisplays_main"] = main ? "spdisplays_yes" : "spdisplays_no";
    if (connector.enabled) {
        display["spdisplays_online"] = *connector.enabled ? "spdisplays_yes" : "spdisplays_no";
    }
    display["Connector"] = connector.name;
    if (!edid) {
        return display;
    }
    if (edid->manufacturerId) {
        display["Manufacturer ID"] = *edid->manufacturerId;
    }
    display["Product Code"] = hex4(edid->productCode);
    if (edid->serialText) {
        display["Serial Number"] = *edid->serialText;
    } else if (edid->serialNumber != 0) {
        display["Serial Number"] = std::to_string(edid->serialNumber);
    }
    if (edid->year) {
        display[edid->isModelYear ? "Model Year" : "Year of Manufacture"] = std::to_string(*edid->year);
    }
    if (edid->imageSizeCm) {
        display["Physical Size"] = std::to_string(edid->imageSizeCm->width) + " x " +
                                   std::to_string(edid->imageSizeCm->height) + " cm";
    }
    return display;
}

// The main display: the first output that is on (a CRTC drives it, or the kernel does not say)
// of the GPU the firmware booted on, else of the other GPUs in list order. A connected output that
// is switched off is never the main one, even on the boot GPU.
struct DisplayPlace {
    std::size_t gpu = 0;
    std::size_t connector = 0;
};

std::optional<DisplayPlace> mainDisplay(const std::vector<platform::PCIDevice>& devices,
                                        const std::vector<std::vector<platform::DRMConnector>>& connectors) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < connectors.size(); ++i) {
        const bool boot = i < devices.size() && devices[i].bootVga;
        order.insert(boot ? order.begin() : order.end(), i);
    }
    for (const auto gpu : order) {
        const auto& outputs = connectors[gpu];
        const auto on =
            std::find_if(outputs.begin(), outputs.end(),
                         [](const platform::DRMConnector& output) { return output.enabled.value_or(true); });
        if (on != outputs.end()) {
            return DisplayPlace{.gpu = gpu, .connector = static_cast<std::size_t>(on - outputs.begin())};
        }
    }
    return std::nullopt;
}

// The NVIDIA driver keeps its memory size to NVML. NVML is opened once, only for an awake NVIDIA
// GPU: asking about a sleeping one would wake it.
class NvidiaMemory {
  public:
    explicit NvidiaMemory(std::string library) : library_(std::move(library)) {}

    std::uint64_t totalBytes(const platform::PCIDevice& device) {
        if (device.driver != "nvidia" || device.isRuntimeSuspended()) {
            return 0;
        }
        if (!tried_) {
            session_ = platform::NVMLSession::open(library_);
            tried_ = true;
        }
        return session_ ? session_->memoryTotalBytes(device.slot).value_or(0) : 0;
    }

  private:
    std::string library_;
    bool tried_ = false;
    std::unique_ptr<platform::NVMLSession> session_;
};

void addVulkanDriver(Json& entry, const std::optional<std::string>& kernelDriver,
                     const VulkanDrivers& drivers) {
    if (!kernelDriver) {
        return;
    }
    if (const auto driver = drivers.forKernelDriver(*kernelDriver)) {
        entry["Vulkan Driver"] =
            driver->name + " (" + std::filesystem::path(driver->library).filename().string() + ")";
        entry["Vulkan API Version"] = driver->apiVersion;
    }
}

// The displays of GPU number `gpu` of the profile.
Json displaysEntry(const std::vector<platform::DRMConnector>& connectors, std::size_t gpu,
                   const std::optional<DisplayPlace>& main) {
    Json displays = Json::array();
    for (std::size_t k = 0; k < connectors.size(); ++k) {
        displays.push_back(displayEntry(connectors[k], main && main->gpu == gpu && main->connector == k));
    }
    return displays;
}

// A GPU on an SoC: built in, sharing the system's memory, showing the monitors of the display
// controllers that feed it.
Json platformGPUEntry(const platform::PlatformGPU& gpu, const std::vector<platform::DRMConnector>& connectors,
                      Json displays, const platform::SystemPaths& paths, const VulkanDrivers& vulkanDrivers) {
    const auto name = platform::platformGPUName(gpu);
    Json entry;
    entry["_name"] = name;
    entry["sppci_model"] = name;
    entry["spdisplays_vendor"] = platform::platformGPUVendor(gpu);
    entry["sppci_bus"] = "spdisplays_builtin";
    entry["spdisplays_gputype"] = "Integrated";
    if (const auto memory = platform::systemMemoryBytes(paths); memory != 0) {
        entry["spdisplays_vram_shared"] = platform::formatByteCount(memory);
        entry["_vram_bytes"] = memory;
    }
    // The identity key the merge and the sensors match on, as for PCI GPUs.
    entry["PCI Slot"] = gpu.busAddress;
    entry["Driver"] = gpu.driver;
    addVulkanDriver(entry, gpu.driver, vulkanDrivers);
    if (!gpu.compatible.empty()) {
        std::string compatible;
        for (const auto& text : gpu.compatible) {
            compatible += (compatible.empty() ? "" : ", ") + text;
        }
        entry["DT Compatible"] = compatible;
    }
    if (const auto model = platform::machineModel(paths)) {
        entry["Machine Model"] = *model;
    }
    if (!connectors.empty()) {
        entry["spdisplays_ndrvs"] = std::move(displays);
    }
    return entry;
}

} // namespace

std::string displayProfile(const platform::SystemPaths& paths, const std::string& nvmlLibrary) {
    const auto devices = platform::listDisplayDevices(paths);
    const auto platformGPUs = platform::listPlatformGPUs(paths);
    // Every GPU's connected outputs, the PCI GPUs' first, then the SoCs' (from their display
    // controllers), so the main display is chosen among all of them.
    std::vector<std::vector<platform::DRMConnector>> connectors;
    for (const auto& device : devices) {
        connectors.push_back(platform::connectedDisplays(device));
    }
    for (const auto& gpu : platformGPUs) {
        auto& gpuConnectors = connectors.emplace_back();
        for (const auto& device : gpu.displayDevices) {
            const auto found = platform::connectedDisplays(device);
            gpuConnectors.insert(gpuConnectors.end(), found.begin(), found.end());
        }
    }
    const auto main = mainDisplay(devices, connectors);
    const platform::PCIIDs pciIds(paths);
    NvidiaMemory nvidiaMemory(nvmlLibrary);
    const VulkanDrivers vulkanDrivers(paths);
    Json entries = Json::array();
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const auto& device = devices[i];
        const auto identity = platform::identifyGPU(device, paths, pciIds);
        Json entry;
        entry["_name"] = identity.name;
        entry["sppci_model"] = identity.name;
        if (const auto vendor = vendorValue(device.vendorId, pciIds)) {
            entry["spdisplays_vendor"] = *vendor;
        }
        entry["sppci_bus"] = identity.integrated ? "spdisplays_builtin" : "spdisplays_pcie_device";
        entry["spdisplays_gputype"] = identity.integrated ? "Integrated" : "Discrete";
        entry["spdisplays_device-id"] = hex4(device.deviceId);
        if (device.revision) {
            entry["spdisplays_revision-id"] = hex4(*device.revision);
        }
        const auto vramBytes = identity.vramBytes != 0 ? identity.vramBytes : nvidiaMemory.totalBytes(device);
        if (vramBytes != 0) {
            entry["spdisplays_vram"] = platform::formatByteCount(vramBytes);
            entry["_vram_bytes"] = vramBytes;
        }
        for (const auto& [key, value] : platform::gpuProperties(device, paths, pciIds, vramBytes)) {
            entry[key] = value;
        }
        addVulkanDriver(entry, device.driver, vulkanDrivers);
        if (!connectors[i].empty()) {
            entry["spdisplays_ndrvs"] = displaysEntry(connectors[i], i, main);
        }
        entries.push_back(std::move(entry));
    }
    // After the PCI GPUs, before management and paravirtual adapters, as the device list has them.
    const auto adapters = std::find_if(devices.begin(), devices.end(), [](const platform::PCIDevice& device) {
        return device.isManagementOrVirtualAdapter();
    });
    auto position = entries.begin() + (adapters - devices.begin());
    for (std::size_t k = 0; k < platformGPUs.size(); ++k) {
        const std::size_t gpu = devices.size() + k;
        position = entries.insert(position, platformGPUEntry(platformGPUs[k], connectors[gpu],
                                                             displaysEntry(connectors[gpu], gpu, main), paths,
                                                             vulkanDrivers)) +
                   1;
    }
    Json document;
    document["SPDisplaysDataType"] = std::move(entries);
    // Sysfs and pci.ids texts are not promised to be UTF-8; never let one stop the output.
    return document.dump(2, ' ', false, Json::error_handler_t::replace);
}

} // namespace tarsik::profiler
