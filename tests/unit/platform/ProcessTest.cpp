#include "platform/core/Process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "platform/core/SingleInstance.h"
#include "unit/platform/TempDir.h"

namespace {

using yav::testing::TempDir;
namespace process = yav::process;

bool Contains(const std::vector<int>& pids, int pid) {
    return std::find(pids.begin(), pids.end(), pid) != pids.end();
}

TEST(Process, StartAndWaitForExitCode) {
    const int pid = process::Start("/bin/sh", {"-c", "exit 3"});
    ASSERT_GT(pid, 0);
    EXPECT_EQ(process::Wait(pid, 30000), 3);
}

TEST(Process, StartsInTheGivenFolder) {
    TempDir dir;
    const int pid = process::Start("sh", {"-c", "pwd > where.txt"}, dir.Path());
    ASSERT_GT(pid, 0);
    ASSERT_EQ(process::Wait(pid, 30000), 0);
    EXPECT_EQ(TempDir::Read(dir.File("where.txt")), dir.Path() + "\n");
}

TEST(Process, MissingProgramIsReported) {
    EXPECT_EQ(process::Start("/nonexistent/program", {}), -1);
}

TEST(Process, FindsAndEndsOwnChildren) {
    const int pid = process::Start("sleep", {"30"});
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(Contains(process::FindChildren(), pid));
    EXPECT_EQ(process::ExecutableName(pid), "sleep");
    EXPECT_TRUE(Contains(process::FindOwnProcessesByName("sleep"), pid));
    EXPECT_FALSE(Contains(process::FindOwnProcessesByName("sleeper"), pid));
    EXPECT_FALSE(process::Wait(pid, 10).has_value());
    ASSERT_TRUE(process::Terminate(pid));
    EXPECT_EQ(process::Wait(pid, 30000), 128 + SIGTERM);
    EXPECT_FALSE(Contains(process::FindChildren(), pid));
}

TEST(Process, NeverSignalsInitOrAGoneProcess) {
    EXPECT_FALSE(process::Terminate(1));
    EXPECT_FALSE(process::Terminate(0));
    EXPECT_FALSE(process::Terminate(-1));
    EXPECT_TRUE(process::ExecutableName(-5).empty());
}

TEST(SingleInstance, SecondHolderIsRefusedUntilReleased) {
    TempDir dir;
    setenv("XDG_RUNTIME_DIR", dir.Path().c_str(), 1);
    yav::SingleInstance first("yav-test-instance");
    yav::SingleInstance second("yav-test-instance");
    EXPECT_EQ(first.LockPath(), dir.Path() + "/yav-test-instance.lock");
    EXPECT_TRUE(first.TryAcquire());
    EXPECT_TRUE(first.TryAcquire());  // held already
    EXPECT_FALSE(second.TryAcquire());
    first.Release();
    EXPECT_TRUE(second.TryAcquire());
    unsetenv("XDG_RUNTIME_DIR");
}

TEST(SingleInstance, LockOfAnEndedProcessIsFree) {
    TempDir dir;
    setenv("XDG_RUNTIME_DIR", dir.Path().c_str(), 1);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        yav::SingleInstance held("yav-test-crash");
        const char result = held.TryAcquire() ? 'y' : 'n';
        [[maybe_unused]] ssize_t n = write(ready[1], &result, 1);
        pause();  // until killed: the lock must go with the process
        _exit(0);
    }
    char result = 0;
    ASSERT_EQ(read(ready[0], &result, 1), 1);
    EXPECT_EQ(result, 'y');
    yav::SingleInstance mine("yav-test-crash");
    EXPECT_FALSE(mine.TryAcquire());
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(mine.TryAcquire());
    close(ready[0]);
    close(ready[1]);
    unsetenv("XDG_RUNTIME_DIR");
}

TEST(SingleInstance, UnusableRuntimeFolderNeverBlocksTheStart) {
    setenv("XDG_RUNTIME_DIR", "/nonexistent/runtime", 1);
    yav::SingleInstance instance("yav-test-broken");
    EXPECT_TRUE(instance.TryAcquire());
    EXPECT_FALSE(instance.IsHeld());
    unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
