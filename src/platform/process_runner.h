#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarsik::platform {

// Runs a helper program and hands back what it printed.
class ProcessRunner {
  public:
    virtual ~ProcessRunner() = default;
    // The program's standard output, only when it exited with status 0. Nothing when it could not
    // start, failed, was killed, or ran past the runner's limits.
    virtual std::optional<std::string> run(const std::filesystem::path& program,
                                           const std::vector<std::string>& arguments) const = 0;
};

// posix_spawn with standard output on a pipe, standard input and error on /dev/null. A child that
// is still running at the deadline, or prints more than the output limit, is killed together with
// everything it started (its own process group). Every path reaps the child and closes every
// descriptor it opened; any thread may call it.
class PosixProcessRunner final : public ProcessRunner {
  public:
    static constexpr std::chrono::milliseconds defaultDeadline{15'000};
    // A few GPUs describe themselves in kilobytes; anything near this is not a profiler's output.
    static constexpr std::size_t defaultOutputLimit = std::size_t{8} * 1024 * 1024;

    PosixProcessRunner() = default;
    // Shorter limits, for tests.
    PosixProcessRunner(std::chrono::milliseconds deadline, std::size_t outputLimit)
        : deadline_(deadline), outputLimit_(outputLimit) {}

    std::optional<std::string> run(const std::filesystem::path& program,
                                   const std::vector<std::string>& arguments) const override;

    // Ends every child still running, with what it started: a program that quits must not leave
    // a hanging helper behind it.
    static void killRunningChildren();

  private:
    std::chrono::milliseconds deadline_ = defaultDeadline;
    std::size_t outputLimit_ = defaultOutputLimit;
};

} // namespace tarsik::platform
