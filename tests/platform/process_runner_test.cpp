#include "platform/process_runner.h"
#include "support/captured_diagnostics.h"
#include "support/fixture_tree.h"

#include <csignal>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>

namespace tarsik::platform {
namespace {

using namespace std::chrono_literals;

std::size_t openDescriptors() {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                                  std::filesystem::directory_iterator()));
}

bool hasUnreapedChild() {
    return ::waitpid(-1, nullptr, WNOHANG) >= 0; // -1 with ECHILD when there is no child at all
}

class ProcessRunnerTest : public ::testing::Test {
  protected:
    std::filesystem::path script(const std::string& name, const std::string& body) const {
        tree_.write(name, "#!/bin/sh\n" + body + "\n");
        std::filesystem::permissions(tree_.path(name), std::filesystem::perms::owner_all);
        return tree_.path(name);
    }

    void SetUp() override { descriptors_ = openDescriptors(); }
    void TearDown() override {
        EXPECT_EQ(openDescriptors(), descriptors_) << "a descriptor was left open";
        EXPECT_FALSE(hasUnreapedChild()) << "a child was left unreaped";
    }

    const PosixProcessRunner quick_{300ms, 1024 * 1024};
    testing::FixtureTree tree_{""};
    std::size_t descriptors_ = 0;
};

TEST_F(ProcessRunnerTest, ReturnsStandardOutputOfASuccessfulChild) {
    const auto program = script("echo", R"(printf '%s|' "$@"; echo noise >&2)");
    EXPECT_EQ(quick_.run(program, {"SPDisplaysDataType", "-json", "two words"}),
              "SPDisplaysDataType|-json|two words|");
    EXPECT_EQ(quick_.run(script("silent", "exit 0"), {}), "");
}

// Each failure also says what happened, in one line after the program's path.
TEST_F(ProcessRunnerTest, GivesNothingForFailureOrMisbehaviourAndSaysWhy) {
    struct Case {
        const char* name;
        const char* body;
        const char* diagnosis;
    };
    const Case cases[] = {
        {"non-zero", "echo '{}'; exit 3", "exited with status 3"},
        {"signal", "echo '{}'; kill -SEGV $$", "was killed by signal 11 (Segmentation fault)"},
        {"hang", "echo partial; sleep 30", "ran past its 300 ms deadline and was stopped"},
        {"hang-exec", "exec sleep 30", "ran past its 300 ms deadline and was stopped"},
        {"closes-output-and-runs-on", "echo '{}'; exec >&-; sleep 30",
         "closed its output but had not exited by its 300 ms deadline; it was stopped"},
        {"floods", "head -c 52428800 /dev/zero", "printed more than 1048576 bytes and was stopped"},
    };
    testing::CapturedDiagnostics diagnostics;
    for (const auto& [name, body, diagnosis] : cases) {
        const auto start = std::chrono::steady_clock::now();
        const auto program = script(name, body);
        EXPECT_EQ(quick_.run(program, {}), std::nullopt) << name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << name << " outlived the deadline";
        EXPECT_THAT(diagnostics.take(), ::testing::ElementsAre(program.string() + ' ' + diagnosis));
    }
    EXPECT_EQ(quick_.run(tree_.path("missing"), {}), std::nullopt);
    tree_.write("not-executable", "#!/bin/sh\necho hi\n");
    EXPECT_EQ(quick_.run(tree_.path("not-executable"), {}), std::nullopt);
    EXPECT_THAT(diagnostics.take(),
                ::testing::ElementsAre(
                    tree_.path("missing").string() + " could not start: No such file or directory",
                    tree_.path("not-executable").string() + " could not start: Permission denied"));
}

TEST_F(ProcessRunnerTest, TheDeadlineAlsoEndsWhatTheChildStarted) {
    const auto program = script("forks", "sleep 30 & echo $! > " + tree_.path("pid").string() + "; wait");
    EXPECT_EQ(quick_.run(program, {}), std::nullopt);
    std::ifstream pidFile(tree_.path("pid"));
    pid_t grandchild = 0;
    ASSERT_TRUE(pidFile >> grandchild);
    // It was killed; it may linger only as a zombie of whoever adopted it.
    std::this_thread::sleep_for(50ms);
    std::ifstream stat("/proc/" + std::to_string(grandchild) + "/stat");
    std::string pid, command, state;
    if (stat >> pid >> command >> state) {
        EXPECT_EQ(state, "Z");
    }
}

TEST_F(ProcessRunnerTest, RunsFromManyThreadsAtOnce) {
    const auto program = script("echo", R"(printf '%s' "$1")");
    std::vector<std::thread> threads;
    std::vector<std::optional<std::string>> results(8);
    for (std::size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&, i] { results[i] = quick_.run(program, {std::to_string(i)}); });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (std::size_t i = 0; i < results.size(); ++i) {
        EXPECT_EQ(results[i], std::to_string(i));
    }
}

} // namespace
} // namespace tarsik::platform
