#pragma once

#include "platform/process_runner.h"

namespace tarsik::testing {

// Prints a fixed text as if the profiler had, and records how it was called.
class FakeProcessRunner final : public platform::ProcessRunner {
  public:
    explicit FakeProcessRunner(std::optional<std::string> output) : output_(std::move(output)) {}

    std::optional<std::string> run(const std::filesystem::path& program,
                                   const std::vector<std::string>& arguments) const override {
        lastProgram = program;
        lastArguments = arguments;
        return output_;
    }

    mutable std::filesystem::path lastProgram;
    mutable std::vector<std::string> lastArguments;

  private:
    std::optional<std::string> output_;
};

} // namespace tarsik::testing
