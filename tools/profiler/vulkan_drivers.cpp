#include "profiler/vulkan_drivers.h"

#include "platform/file_reader.h"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <string_view>

namespace tarsik::profiler {
namespace {

namespace fs = std::filesystem;

struct Candidate {
    std::string_view kernelDriver;
    std::string_view library; // the manifest's library_path ends with this
    std::string_view name;
};

// Which Vulkan driver serves which kernel driver, best first where two may (Mesa's RADV is the
// distributions' default for amdgpu; AMD's own AMDVLK replaces it where installed alone).
constexpr std::array<Candidate, 12> candidates{{
    {"amdgpu", "libvulkan_radeon.so", "RADV"},
    {"amdgpu", "amdvlk64.so", "AMDVLK"},
    {"i915", "libvulkan_intel.so", "ANV"},
    {"i915", "libvulkan_intel_hasvk.so", "HASVK"},
    {"xe", "libvulkan_intel.so", "ANV"},
    {"nvidia", "libGLX_nvidia.so.0", "NVIDIA"},
    {"nouveau", "libvulkan_nouveau.so", "NVK"},
    {"v3d", "libvulkan_broadcom.so", "V3DV"},
    {"panfrost", "libvulkan_panfrost.so", "PanVK"},
    {"panthor", "libvulkan_panfrost.so", "PanVK"},
    {"msm", "libvulkan_freedreno.so", "Turnip"},
    {"asahi", "libvulkan_asahi.so", "Honeykrisp"},
}};

// The loader's system search folders, in its order (without a user's XDG settings).
constexpr std::array<std::string_view, 4> folders{"etc/xdg/vulkan/icd.d", "etc/vulkan/icd.d",
                                                  "usr/local/share/vulkan/icd.d", "usr/share/vulkan/icd.d"};

#if defined(__x86_64__)
constexpr std::string_view architecture = "x86_64";
#elif defined(__aarch64__)
constexpr std::string_view architecture = "aarch64";
#elif defined(__i386__)
constexpr std::string_view architecture = "i686";
#else
constexpr std::string_view architecture = "";
#endif

// Debian's Mesa installs one manifest per architecture ("radeon_icd.x86_64.json"); NVIDIA's
// has no architecture in its name.
int architectureRank(std::string_view file) {
    static constexpr std::array<std::string_view, 6> known{".x86_64.", ".i686.", ".aarch64.",
                                                           ".armv7l.", ".i386.", ".armhf."};
    if (!architecture.empty() && file.find("." + std::string(architecture) + ".") != std::string_view::npos) {
        return 0;
    }
    return std::any_of(known.begin(), known.end(),
                       [file](std::string_view arch) { return file.find(arch) != std::string_view::npos; })
               ? 2
               : 1;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

} // namespace

VulkanDrivers::VulkanDrivers(const platform::SystemPaths& paths) {
    for (const auto folder : folders) {
        std::vector<fs::path> files;
        std::error_code error;
        fs::directory_iterator entries(paths.root / folder, error);
        for (const fs::directory_iterator end; !error && entries != end; entries.increment(error)) {
            if (entries->path().extension() == ".json") {
                files.push_back(entries->path());
            }
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            const auto text = platform::readFile(file, 64 * 1024);
            const auto json = nlohmann::json::parse(text.value_or(""), nullptr, false);
            if (json.is_discarded() || !json.is_object() || !json.contains("ICD") ||
                !json["ICD"].is_object()) {
                continue;
            }
            const auto& icd = json["ICD"];
            const auto library = icd.value("library_path", nlohmann::json()).get<nlohmann::json>();
            const auto version = icd.value("api_version", nlohmann::json()).get<nlohmann::json>();
            if (library.is_string() && version.is_string()) {
                manifests_.push_back(Manifest{.file = file.filename().string(),
                                              .library = library.get<std::string>(),
                                              .apiVersion = version.get<std::string>()});
            }
        }
    }
}

std::optional<VulkanDriver> VulkanDrivers::forKernelDriver(const std::string& kernelDriver) const {
    for (const auto& candidate : candidates) {
        if (candidate.kernelDriver != kernelDriver) {
            continue;
        }
        const Manifest* best = nullptr;
        for (const auto& manifest : manifests_) {
            if (endsWith(manifest.library, candidate.library) &&
                (best == nullptr || architectureRank(manifest.file) < architectureRank(best->file))) {
                best = &manifest;
            }
        }
        if (best != nullptr) {
            return VulkanDriver{.name = std::string(candidate.name),
                                .library = best->library,
                                .apiVersion = best->apiVersion};
        }
    }
    return std::nullopt;
}

} // namespace tarsik::profiler
