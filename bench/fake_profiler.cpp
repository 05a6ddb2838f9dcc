// Stands in for tarsik-profiler in the full-inventory benchmark: a small native program that
// prints a profile written beforehand to "<its own path as called>.json".
#include <cstdio>
#include <string>

int main(int, char* argv[]) {
    std::FILE* file = std::fopen((std::string(argv[0]) + ".json").c_str(), "rb");
    if (file == nullptr) {
        return 1;
    }
    char buffer[65536];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        std::fwrite(buffer, 1, count, stdout);
    }
    std::fclose(file);
    return 0;
}
