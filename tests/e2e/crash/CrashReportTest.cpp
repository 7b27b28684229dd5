#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "SegvBlocked.h"
#include "platform/core/Paths.h"
#include "platform/core/Process.h"
#include "unit/app/AppTestEnv.h"

namespace {

using yav::testing::ScopedEnv;
using yav::testing::TempDir;

struct CrashRun {
    int exitCode = -1;
    std::string report;
    std::string log;
};

// Runs the crashing child with a data base of its own and collects what it left behind.
CrashRun RunChild(const char* mode) {
    TempDir home;
    ScopedEnv dataHome("XDG_DATA_HOME", home.Path());
    CrashRun run;
    const int pid = yav::process::Start(yav::paths::ProgramDir() + "crash_child", {mode});
    EXPECT_GT(pid, 0);
    if (pid <= 0) {
        return run;
    }
    run.exitCode = yav::process::Wait(pid, 60000).value_or(-1);
    const std::string dataDir = home.Path() + "/MarnexData/";
    run.report = TempDir::Read(dataDir + "Client.dmp");
    run.log = TempDir::Read(dataDir + "loglog/YavClient.log");
    return run;
}

// The report's raw backtrace (before the loaded modules); empty when the report has none.
std::string RawBacktrace(const std::string& report) {
    const size_t raw = report.find("backtrace:\n");
    const size_t modules = report.find("loaded modules:\n", raw == std::string::npos ? 0 : raw);
    if (raw == std::string::npos || modules == std::string::npos) {
        return {};
    }
    return report.substr(raw, modules - raw);
}

TEST(CrashReport, NullWriteLeavesReportWithReadableBacktrace) {
    const CrashRun run = RunChild("segv");
    EXPECT_EQ(run.exitCode, 128 + SIGSEGV);
    EXPECT_NE(run.report.find("signal: 11 (SIGSEGV)"), std::string::npos) << run.report;
    EXPECT_NE(run.report.find("fault address: 0x0\n"), std::string::npos) << run.report;
    // The raw backtrace names the failing function, the demangled one too.
    EXPECT_NE(RawBacktrace(run.report).find("CrashWithNullWrite"), std::string::npos) << run.report;
    EXPECT_NE(run.report.find("main"), std::string::npos);
    // The loaded modules are the process's memory map: the program itself and the C library.
    const size_t modules = run.report.find("loaded modules:\n");
    ASSERT_NE(modules, std::string::npos);
    const std::string map = run.report.substr(modules);
    EXPECT_NE(map.find("crash_child"), std::string::npos);
    EXPECT_NE(map.find("libc"), std::string::npos);
    EXPECT_NE(run.log.find("[msjexhnd:"), std::string::npos) << run.log;
    EXPECT_NE(run.log.find("进程退出产生dump文件 ExceptionCode 0xb>"), std::string::npos)
        << run.log;
}

TEST(CrashReport, UncaughtExceptionNamesTheException) {
    const CrashRun run = RunChild("throw");
    EXPECT_EQ(run.exitCode, 128 + SIGABRT);
    EXPECT_NE(run.report.find("signal: 6 (SIGABRT)"), std::string::npos) << run.report;
    EXPECT_NE(run.report.find("reason: std::terminate: uncaught exception: report this failure"),
              std::string::npos)
        << run.report;
    EXPECT_NE(run.report.find("CrashWithUncaughtException()"), std::string::npos) << run.report;
    EXPECT_NE(run.log.find("ExceptionCode 0x6>"), std::string::npos) << run.log;
}

TEST(CrashReport, AbortIsReportedOnce) {
    const CrashRun run = RunChild("abort");
    EXPECT_EQ(run.exitCode, 128 + SIGABRT);
    EXPECT_NE(run.report.find("signal: 6 (SIGABRT)"), std::string::npos) << run.report;
    const size_t first = run.log.find("ExceptionCode");
    ASSERT_NE(first, std::string::npos) << run.log;
    EXPECT_EQ(run.log.find("ExceptionCode", first + 1), std::string::npos) << run.log;
}

// A second thread faulting while the first writes its report must not end the process under
// it. The report goes into a pipe that the test opens only once both threads are inside their
// handlers, so the first is still writing when the second faults.
TEST(CrashReport, SecondFaultWaitsForTheFirstReport) {
    TempDir home;
    ScopedEnv dataHome("XDG_DATA_HOME", home.Path());
    const std::string dataDir = home.Path() + "/MarnexData/";
    std::filesystem::create_directories(dataDir);
    const std::string report = dataDir + "Client.dmp";
    ASSERT_EQ(mkfifo(report.c_str(), 0600), 0);

    const int pid = yav::process::Start(yav::paths::ProgramDir() + "crash_child", {"two"});
    ASSERT_GT(pid, 0);
    std::optional<int> exitCode;
    bool bothInside = false;
    for (int i = 0; i < 2000 && !bothInside && !exitCode; ++i) {
        exitCode = yav::process::Wait(pid, 10);
        bothInside = !exitCode && yav::testing::InsideSegvHandler("/proc/" + std::to_string(pid) +
                                                                  "/task/" + std::to_string(pid));
    }
    EXPECT_TRUE(bothInside) << "the process ended before the second thread waited";

    const int fd = open(report.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    std::string text;
    auto drain = [&] {
        char buffer[4096];
        ssize_t n = 0;
        while ((n = read(fd, buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<size_t>(n));
        }
    };
    for (int i = 0; i < 3000 && !exitCode; ++i) {
        pollfd ready{fd, POLLIN, 0};
        poll(&ready, 1, 10);
        drain();
        exitCode = yav::process::Wait(pid, 0);
    }
    drain();
    close(fd);
    EXPECT_EQ(exitCode.value_or(-1), 128 + SIGSEGV);
    EXPECT_NE(text.find("signal: 11 (SIGSEGV)"), std::string::npos) << text;
    EXPECT_NE(text.find("CrashWithNullWrite"), std::string::npos) << text;
    EXPECT_NE(text.find("loaded modules:\n"), std::string::npos) << text;
}

// The number on a "<label>: <number>" line of the report; empty when the line is missing.
std::string ReportField(const std::string& report, const std::string& label) {
    const size_t start = report.find("\n" + label + ": ");
    if (start == std::string::npos) {
        return {};
    }
    const size_t value = start + label.size() + 3;
    return report.substr(value, report.find('\n', value) - value);
}

// A worker thread that overflows its stack is reported like the main thread: the handler runs
// on the worker's own alternate stack, since the worker's stack has no room left.
class WorkerStackOverflow : public ::testing::TestWithParam<const char*> {};

TEST_P(WorkerStackOverflow, LeavesReportFromTheWorker) {
    const CrashRun run = RunChild(GetParam());
    EXPECT_EQ(run.exitCode, 128 + SIGSEGV);
    ASSERT_NE(run.report.find("signal: 11 (SIGSEGV)"), std::string::npos)
        << "no report: " << run.report;
    const std::string process = ReportField(run.report, "process");
    const std::string thread = ReportField(run.report, "thread");
    EXPECT_FALSE(thread.empty()) << run.report;
    EXPECT_NE(thread, process) << "reported from the main thread";
    EXPECT_NE(ReportField(run.report, "fault address"), "0x0") << run.report;
    EXPECT_NE(RawBacktrace(run.report).find("OverflowTheStack"), std::string::npos) << run.report;
    EXPECT_NE(run.log.find("进程退出产生dump文件 ExceptionCode 0xb>"), std::string::npos)
        << run.log;
}

INSTANTIATE_TEST_SUITE_P(CrashReport, WorkerStackOverflow,
                         ::testing::Values("overflow-xthread", "overflow-thread"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                             return std::string(param.param).substr(9);  // after "overflow-"
                         });

TEST(CrashReport, NoReportWithoutACrash) {
    const CrashRun run = RunChild("none");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.report.empty());
}

}  // namespace
