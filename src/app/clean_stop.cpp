#include "clean_stop.h"

#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tarsik {
namespace {

// Written by the signal handler and the output watcher, read by the event loop.
int stopPipe[2] = {-1, -1};

void requestStop(int /*signal*/) {
    const char byte = 0;
    [[maybe_unused]] const auto written = ::write(stopPipe[1], &byte, 1);
}

bool outputIsPipeOrSocket() {
    struct stat status {};
    return ::fstat(STDOUT_FILENO, &status) == 0 && (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode));
}

// Blocks until the pipe has no reader left (POLLERR) or the socket's peer hung up: no wake-ups
// while the reader is there.
void watchOutput() {
    pollfd output{.fd = STDOUT_FILENO, .events = 0, .revents = 0};
    while (::poll(&output, 1, -1) < 0 || (output.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0) {
    }
    requestStop(0);
}

} // namespace

void stopCleanlyOnInterruptOrClosedOutput(QCoreApplication& app) {
    if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(stopPipe[0], QSocketNotifier::Read, &app);
    // Ends the process at once: every line is already on the descriptor (written unbuffered), and
    // a sample still being read, suspended in its task, has nothing to keep. Unwinding would only
    // free what the kernel frees anyway, and would leave that task's frame to the leak checker.
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { std::_Exit(0); });

    struct sigaction action {};
    action.sa_handler = requestStop;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM}) {
        // A signal ignored on entry stays ignored, as for a job a shell started in the background.
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            ::sigaction(signal, &action, nullptr);
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
    if (outputIsPipeOrSocket()) {
        std::thread(watchOutput).detach();
    }
}

} // namespace tarsik
