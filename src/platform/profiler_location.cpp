#include "platform/profiler_location.h"

#include <unistd.h>

namespace tarsik::platform {
namespace {

constexpr const char* profilerName = "tarsik-profiler";

bool isExecutableFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

std::filesystem::path profilerFor(const std::filesystem::path& executable) {
    const auto directory = executable.parent_path();
    const auto installed = directory / ".." / "libexec" / "tarsik" / profilerName;
    if (isExecutableFile(installed)) {
        return installed.lexically_normal();
    }
    auto beside = directory / profilerName;
    if (isExecutableFile(beside)) {
        return beside;
    }
    return installed.lexically_normal();
}

std::filesystem::path currentExecutable() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

} // namespace tarsik::platform
