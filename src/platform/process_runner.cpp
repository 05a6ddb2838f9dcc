#include "platform/process_runner.h"

#include "platform/diagnostics.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tarsik::platform {
namespace {

using Clock = std::chrono::steady_clock;

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

  private:
    int fd_;
};

// The spawn attributes and file actions live only as long as the call that starts the child.
class SpawnSetup {
  public:
    explicit SpawnSetup(int outputFd) {
        ::posix_spawn_file_actions_init(&actions_);
        ::posix_spawnattr_init(&attributes_);
        ok_ = ::posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0 &&
              ::posix_spawn_file_actions_adddup2(&actions_, outputFd, STDOUT_FILENO) == 0 &&
              ::posix_spawn_file_actions_addopen(&actions_, STDERR_FILENO, "/dev/null", O_WRONLY, 0) == 0;
        // Its own process group, so the deadline also ends whatever the child started; default
        // signal handling and no blocked signals, whatever the calling thread had.
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        ok_ = ok_ &&
              ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                           POSIX_SPAWN_SETSIGDEF) == 0 &&
              ::posix_spawnattr_setpgroup(&attributes_, 0) == 0 &&
              ::posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
              ::posix_spawnattr_setsigdefault(&attributes_, &all) == 0;
    }
    ~SpawnSetup() {
        ::posix_spawn_file_actions_destroy(&actions_);
        ::posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    bool ok() const { return ok_; }
    const posix_spawn_file_actions_t* actions() const { return &actions_; }
    const posix_spawnattr_t* attributes() const { return &attributes_; }

  private:
    posix_spawn_file_actions_t actions_{};
    posix_spawnattr_t attributes_{};
    bool ok_ = false;
};

int millisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, 60'000));
}

enum class ReadEnd { endOfFile, deadline, tooLong, failed };

ReadEnd readAll(int fd, Clock::time_point deadline, std::size_t limit, std::string& output) {
    char buffer[65536];
    while (true) {
        pollfd entry{.fd = fd, .events = POLLIN, .revents = 0};
        const int ready = ::poll(&entry, 1, millisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            return ReadEnd::failed;
        }
        if (ready == 0) {
            return ReadEnd::deadline;
        }
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (count < 0) {
            return ReadEnd::failed;
        }
        if (count == 0) {
            return ReadEnd::endOfFile;
        }
        if (output.size() + static_cast<std::size_t>(count) > limit) {
            return ReadEnd::tooLong;
        }
        output.append(buffer, static_cast<std::size_t>(count));
    }
}

// Blocks until the child is reaped; its exit status, or nothing when it cannot be had.
std::optional<int> reap(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
    return status;
}

// The child closed its output; it normally exits a few microseconds later, but one that keeps
// running without output is still held to the deadline.
std::optional<int> reapBefore(pid_t child, Clock::time_point deadline) {
    auto pause = std::chrono::microseconds(20);
    while (true) {
        int status = 0;
        const pid_t reaped = ::waitpid(child, &status, WNOHANG);
        if (reaped == child) {
            return status;
        }
        if (reaped < 0 && errno != EINTR) {
            return std::nullopt;
        }
        if (reaped == 0 && Clock::now() >= deadline) {
            ::kill(-child, SIGKILL);
            reap(child);
            return std::nullopt;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(5000));
    }
}

// Process groups of the children running now, so that quitting can end them too.
std::mutex runningMutex;
std::set<pid_t> runningGroups;

// Keeps a child's group listed while its run lasts.
class RunningChild {
  public:
    explicit RunningChild(pid_t group) : group_(group) {
        const std::lock_guard lock(runningMutex);
        runningGroups.insert(group_);
    }
    ~RunningChild() {
        const std::lock_guard lock(runningMutex);
        runningGroups.erase(group_);
    }
    RunningChild(const RunningChild&) = delete;
    RunningChild& operator=(const RunningChild&) = delete;

  private:
    pid_t group_;
};

// Why a run gave no output, in one line; nothing for a clean exit.
std::optional<std::string> failureOf(ReadEnd end, const std::optional<int>& status,
                                     std::chrono::milliseconds deadline, std::size_t outputLimit) {
    switch (end) {
    case ReadEnd::deadline:
        return "ran past its " + std::to_string(deadline.count()) + " ms deadline and was stopped";
    case ReadEnd::tooLong:
        return "printed more than " + std::to_string(outputLimit) + " bytes and was stopped";
    case ReadEnd::failed:
        return "output could not be read and it was stopped";
    case ReadEnd::endOfFile:
        break;
    }
    if (!status) {
        return "closed its output but had not exited by its " + std::to_string(deadline.count()) +
               " ms deadline; it was stopped";
    }
    if (WIFEXITED(*status) && WEXITSTATUS(*status) == 0) {
        return std::nullopt;
    }
    if (WIFSIGNALED(*status)) {
        const char* name = ::sigdescr_np(WTERMSIG(*status)); // unlike strsignal, safe on any thread
        return "was killed by signal " + std::to_string(WTERMSIG(*status)) + " (" +
               (name ? name : "unknown") + ")";
    }
    return "exited with status " + std::to_string(WEXITSTATUS(*status));
}

} // namespace

void PosixProcessRunner::killRunningChildren() {
    const std::lock_guard lock(runningMutex);
    for (const pid_t group : runningGroups) {
        ::kill(-group, SIGKILL);
    }
}

std::optional<std::string> PosixProcessRunner::run(const std::filesystem::path& program,
                                                   const std::vector<std::string>& arguments) const {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    Descriptor readEnd(ends[0]);
    Descriptor writeEnd(ends[1]);

    std::string programText = program.string();
    std::vector<std::string> argumentTexts(arguments);
    std::vector<char*> argv;
    argv.push_back(programText.data());
    for (auto& argument : argumentTexts) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    pid_t child = -1;
    {
        const SpawnSetup setup(writeEnd.get());
        const int error = setup.ok() ? ::posix_spawn(&child, programText.c_str(), setup.actions(),
                                                     setup.attributes(), argv.data(), environ)
                                     : EAGAIN;
        if (error != 0) {
            diagnose(programText + " could not start: " + errorText(error));
            return std::nullopt; // glibc reaps a child whose exec failed
        }
    }
    // Only the child may hold the writing end, or end of file would never come.
    writeEnd.reset();

    const auto deadline = Clock::now() + deadline_;
    std::string output;
    ReadEnd end{};
    {
        // Listed only until it is reaped: a reaped child's number may belong to another process.
        const RunningChild running(child);
        end = readAll(readEnd.get(), deadline, outputLimit_, output);
    }
    std::optional<int> status;
    if (end == ReadEnd::endOfFile) {
        status = reapBefore(child, deadline);
    } else {
        ::kill(-child, SIGKILL);
        reap(child);
    }
    if (const auto failure = failureOf(end, status, deadline_, outputLimit_)) {
        diagnose(programText + ' ' + *failure);
        return std::nullopt;
    }
    return output;
}

} // namespace tarsik::platform
