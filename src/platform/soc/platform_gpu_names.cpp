#include "platform/soc/platform_gpu_names.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tarsik::platform {
namespace {

template <std::size_t N>
std::optional<std::string_view>
lookup(const std::array<std::pair<std::string_view, std::string_view>, N>& table, std::string_view key) {
    for (const auto& [tableKey, value] : table) {
        if (tableKey == key) {
            return value;
        }
    }
    return std::nullopt;
}

// What follows `prefix` in the most specific compatible string that starts with it.
std::optional<std::string_view> compatibleAfter(const PlatformGPU& gpu, std::string_view prefix) {
    for (const auto& compatible : gpu.compatible) {
        if (compatible.starts_with(prefix) && compatible.size() > prefix.size()) {
            return std::string_view(compatible).substr(prefix.size());
        }
    }
    return std::nullopt;
}

std::string upperCased(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    return upper;
}

// Mali cores report their model only through an ioctl or the kernel log, so the SoC's compatible
// names it where the SoC has one Mali; otherwise the binding's model or family.
std::string maliName(const PlatformGPU& gpu) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 7> socs{{
        {"rockchip,rk3588-mali", "Mali-G610"},
        {"rockchip,rk3568-mali", "Mali-G52"},
        {"rockchip,rk3399-mali", "Mali-T860"},
        {"rockchip,rk3288-mali", "Mali-T760"},
        {"amlogic,meson-g12a-mali", "Mali-G31"},
        {"allwinner,sun50i-h616-mali", "Mali-G31"},
        {"mediatek,mt8183-mali", "Mali-G72"},
    }};
    for (const auto& compatible : gpu.compatible) {
        if (const auto model = lookup(socs, compatible)) {
            return "Arm " + std::string(*model);
        }
    }
    const auto binding = compatibleAfter(gpu, "arm,mali-");
    if (!binding) {
        return "Arm Mali";
    }
    if (*binding == "bifrost") {
        return "Arm Mali (Bifrost)";
    }
    if (binding->starts_with("valhall")) {
        return "Arm Mali (Valhall)";
    }
    return "Arm Mali-" + upperCased(*binding); // "t860", "400"
}

// "qcom,adreno-630.2" carries the model's digits; newer parts carry a chip id instead.
std::string adrenoName(const PlatformGPU& gpu) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 2> chipIds{{
        {"43050a01", "Adreno 740"},
        {"43050c01", "Adreno X1-85"},
    }};
    const auto binding = compatibleAfter(gpu, "qcom,adreno-");
    if (!binding) {
        return "Qualcomm Adreno";
    }
    if (const auto dot = binding->find('.'); dot != std::string_view::npos) {
        return "Qualcomm Adreno " + std::string(binding->substr(0, dot));
    }
    const auto model = lookup(chipIds, *binding);
    return "Qualcomm " + std::string(model.value_or("Adreno"));
}

// "Apple M1 Max GPU (G13C)": M-series number = AGX generation - 12, the variant letter gives the tier.
std::string appleName(const PlatformGPU& gpu) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> socs{{
        {"t8103", "g13g"},
        {"t6000", "g13s"},
        {"t6001", "g13c"},
        {"t6002", "g13d"},
        {"t8112", "g14g"},
        {"t6020", "g14s"},
        {"t6021", "g14c"},
        {"t6022", "g14d"},
    }};
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 4> tiers{{
        {"g", ""},
        {"s", " Pro"},
        {"c", " Max"},
        {"d", " Ultra"},
    }};
    auto agx = compatibleAfter(gpu, "apple,agx-");
    if (agx) {
        agx = lookup(socs, *agx).value_or(*agx);
    }
    if (!agx || agx->size() != 4 || (*agx)[0] != 'g' ||
        !std::isdigit(static_cast<unsigned char>((*agx)[1])) ||
        !std::isdigit(static_cast<unsigned char>((*agx)[2]))) {
        return "Apple GPU";
    }
    const int generation = ((*agx)[1] - '0') * 10 + ((*agx)[2] - '0');
    const auto tier = lookup(tiers, agx->substr(3));
    if (!tier || generation <= 12) {
        return "Apple GPU";
    }
    return "Apple M" + std::to_string(generation - 12) + std::string(*tier) + " GPU (" + upperCased(*agx) +
           ")";
}

std::string videoCoreName(const PlatformGPU& gpu) {
    if (gpu.driver == "vc4") {
        return "Broadcom VideoCore IV";
    }
    const auto has = [&gpu](std::string_view compatible) {
        return std::find(gpu.compatible.begin(), gpu.compatible.end(), compatible) != gpu.compatible.end();
    };
    if (has("brcm,2711-v3d")) {
        return "Broadcom VideoCore VI";
    }
    if (has("brcm,2712-v3d")) {
        return "Broadcom VideoCore VII";
    }
    return "Broadcom V3D";
}

std::string powerVrName(const PlatformGPU& gpu) {
    const auto core = compatibleAfter(gpu, "img,img-");
    // "rogue" and "axe" name the architecture only.
    if (!core || *core == "rogue" || *core == "axe") {
        return "Imagination PowerVR";
    }
    return "Imagination PowerVR " + upperCased(*core);
}

std::string tegraName(const PlatformGPU& gpu) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 3> chips{{
        {"nvidia,gk20a", "NVIDIA GK20A (Tegra K1)"},
        {"nvidia,gm20b", "NVIDIA GM20B (Tegra X1)"},
        {"nvidia,gp10b", "NVIDIA GP10B (Tegra X2)"},
    }};
    for (const auto& compatible : gpu.compatible) {
        if (const auto name = lookup(chips, compatible)) {
            return std::string(*name);
        }
    }
    return "NVIDIA Tegra GPU";
}

} // namespace

std::string platformGPUName(const PlatformGPU& gpu) {
    const auto& driver = gpu.driver;
    if (driver == "panfrost" || driver == "panthor" || driver == "lima") {
        return maliName(gpu);
    }
    if (driver == "msm") {
        return adrenoName(gpu);
    }
    if (driver == "v3d" || driver == "vc4") {
        return videoCoreName(gpu);
    }
    if (driver == "asahi") {
        return appleName(gpu);
    }
    if (driver == "powervr") {
        return powerVrName(gpu);
    }
    if (driver == "nouveau") {
        return tegraName(gpu);
    }
    return platformGPUVendor(gpu) + " GPU";
}

std::string platformGPUVendor(const PlatformGPU& gpu) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 10> vendors{{
        {"panfrost", "Arm"},
        {"panthor", "Arm"},
        {"lima", "Arm"},
        {"msm", "Qualcomm"},
        {"v3d", "Broadcom"},
        {"vc4", "Broadcom"},
        {"asahi", "Apple"},
        {"powervr", "Imagination"},
        {"etnaviv", "Vivante"},
        {"nouveau", "NVIDIA"},
    }};
    return std::string(lookup(vendors, gpu.driver).value_or(gpu.driver));
}

std::string platformGPURegistryClass(const PlatformGPU& gpu) {
    if (gpu.driver == "asahi") {
        return "AppleGPU";
    }
    if (gpu.driver == "nouveau") {
        return "NVIDIAGPU";
    }
    // The registry scan trusts entries whose class names a graphics accelerator.
    return platformGPUVendor(gpu) + "GraphicsAccelerator";
}

} // namespace tarsik::platform
