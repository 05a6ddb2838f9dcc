// The sysfs, procfs and data-file readers over attribute files of any content. The input is cut
// at each 0x1e byte into the contents of the files below, in order; files past the last piece are
// absent. The tree is written for each input under a private temporary folder, then the device
// list, the display profiler (identity, properties, connectors, EDID) and the registry source
// read it as they read the real system.
#include "platform/pci/pci_device.h"
#include "platform/pci/sysfs_gpu_device_list.h"
#include "platform/registry/sysfs_registry_source.h"
#include "profiler/display_profile.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

constexpr const char* device = "sys/bus/pci/devices/0000:03:00.0/";
constexpr const char* hwmon = "sys/bus/pci/devices/0000:03:00.0/hwmon/hwmon0/";
constexpr const char* connector = "sys/bus/pci/devices/0000:03:00.0/drm/card0/card0-DP-1/";

// The driver link's target name comes first, then these files.
const std::array<std::string, 37> files{
    std::string(device) + "class",
    std::string(device) + "vendor",
    std::string(device) + "device",
    std::string(device) + "revision",
    std::string(device) + "subsystem_vendor",
    std::string(device) + "subsystem_device",
    std::string(device) + "removable",
    std::string(device) + "mem_info_vram_total",
    std::string(device) + "power/runtime_status",
    std::string(device) + "gpu_busy_percent",
    std::string(device) + "mem_info_vram_used",
    std::string(device) + "current_link_speed",
    std::string(device) + "current_link_width",
    std::string(device) + "max_link_width",
    std::string(device) + "numa_node",
    std::string(device) + "vbios_version",
    std::string(hwmon) + "name",
    std::string(hwmon) + "temp1_input",
    std::string(hwmon) + "temp1_label",
    std::string(hwmon) + "temp2_input",
    std::string(hwmon) + "temp2_label",
    std::string(hwmon) + "power1_average",
    std::string(hwmon) + "fan1_input",
    std::string(hwmon) + "freq1_input",
    std::string(hwmon) + "freq2_input",
    std::string(hwmon) + "in0_input",
    std::string(hwmon) + "in0_label",
    std::string(hwmon) + "in1_input",
    std::string(connector) + "status",
    std::string(connector) + "enabled",
    std::string(connector) + "modes",
    std::string(connector) + "connector_id",
    std::string(connector) + "edid",
    std::string(device) + "drm/card0/gt_act_freq_mhz",
    "proc/driver/nvidia/gpus/0000:03:00.0/information",
    "usr/share/libdrm/amdgpu.ids",
    "usr/share/misc/pci.ids",
};

// A fresh folder for each input, removed afterwards: libFuzzer may end without running exit
// handlers. In memory where there is a tmpfs, so that inputs do not wait on the disk.
class Tree {
  public:
    Tree() {
        std::error_code error;
        const fs::path base =
            fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "tarsik-sysfs-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        root_ = pattern;
    }
    ~Tree() {
        std::error_code error;
        fs::remove_all(root_, error);
    }
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;

    const fs::path& root() const { return root_; }

  private:
    fs::path root_;
};

void write(const fs::path& path, std::string_view content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Tree tree;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto next = [&input]() -> std::optional<std::string_view> {
        if (input.empty()) {
            return std::nullopt;
        }
        const auto end = input.find('\x1e');
        const auto piece = input.substr(0, end);
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
        return piece;
    };
    std::error_code error;
    if (const auto driver = next(); driver && !driver->empty()) {
        fs::create_directories(tree.root() / device, error);
        fs::create_symlink(fs::path("../../../bus/pci/drivers") / *driver, tree.root() / device / "driver",
                           error);
    }
    for (const auto& file : files) {
        const auto content = next();
        if (!content) {
            break;
        }
        write(tree.root() / file, *content);
    }

    const tarsik::platform::SystemPaths paths{.root = tree.root()};
    tarsik::platform::SysfsGPUDeviceList(paths).devices();
    tarsik::profiler::displayProfile(paths);
    tarsik::platform::SysfsRegistrySource(paths, "/nonexistent/libnvidia-ml.so.1").entries(std::nullopt);
    return 0;
}
