#include "profiler/display_profile.h"

#include <array>
#include <cstdio>
#include <string_view>

// Takes exactly the command line of the display profiler whose output it imitates.
int main(int argc, char* argv[]) {
    constexpr std::array<std::string_view, 4> expected{"SPDisplaysDataType", "-json", "-detailLevel", "full"};
    bool usage = argc != static_cast<int>(expected.size()) + 1;
    for (std::size_t i = 0; !usage && i < expected.size(); ++i) {
        usage = argv[i + 1] != expected[i];
    }
    if (usage) {
        std::fputs("usage: tarsik-profiler SPDisplaysDataType -json -detailLevel full\n", stderr);
        return 2;
    }
    const auto text = tarsik::profiler::displayProfile(tarsik::platform::SystemPaths{}) + "\n";
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}
