#pragma once

#include "platform/diagnostics.h"

#include <string>
#include <utility>
#include <vector>

namespace tarsik::testing {

// Collects the diagnostics lines while it lives; silences them again afterwards.
class CapturedDiagnostics {
  public:
    CapturedDiagnostics() {
        platform::setDiagnosticSink([this](std::string_view line) { lines_.emplace_back(line); });
    }
    ~CapturedDiagnostics() { platform::setDiagnosticSink({}); }

    CapturedDiagnostics(const CapturedDiagnostics&) = delete;
    CapturedDiagnostics& operator=(const CapturedDiagnostics&) = delete;

    // The lines since the last call.
    std::vector<std::string> take() { return std::exchange(lines_, {}); }

  private:
    std::vector<std::string> lines_;
};

} // namespace tarsik::testing
