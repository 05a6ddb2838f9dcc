#include "platform/diagnostics.h"

#include <cstdio>
#include <mutex>
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
    return [](std::string_view line) {
        std::fprintf(stderr, "tarsik: %.*s\n", static_cast<int>(line.size()), line.data());
    };
}

std::string errorText(int error) {
    return std::generic_category().message(error);
}

} // namespace tarsik::platform
