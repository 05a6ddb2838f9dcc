#include "platform/diagnostics.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>

namespace tarsik::platform {
namespace {

std::mutex sinkMutex;
DiagnosticSink currentSink;

} // namespace

void setDiagnosticSink(DiagnosticSink sink) {
    const std::lock_guard lock(sinkMutex);
    currentSink = std::move(sink);
}

void diagnose(std::string_view line) {
    const std::lock_guard lock(sinkMutex);
    if (currentSink) {
        currentSink(line);
    }
}

DiagnosticSink standardErrorSink() {
    // Each cause once: a report over many GPUs, or a window refreshed all day, meets the same
    // missing library at every discovery. Calls come one at a time, under the sink's lock.
    auto said = std::make_shared<std::set<std::string, std::less<>>>();
    return [said](std::string_view line) {
        if (!said->emplace(line).second) {
            return;
        }
        std::fprintf(stderr, "tarsik: %.*s\n", static_cast<int>(line.size()), line.data());
    };
}

std::string errorText(int error) {
    return std::generic_category().message(error);
}

} // namespace tarsik::platform
