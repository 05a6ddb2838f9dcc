#pragma once

#include <filesystem>

namespace tarsik::platform {

// The display profiler that belongs to the program at `executable`: the installed
// <prefix>/libexec/tarsik/tarsik-profiler next to <prefix>/bin, else the one beside the program
// in the build tree. The installed path when neither exists, so that running it simply fails.
std::filesystem::path profilerFor(const std::filesystem::path& executable);

// The running program's own file (/proc/self/exe); empty when it cannot be read.
std::filesystem::path currentExecutable();

} // namespace tarsik::platform
