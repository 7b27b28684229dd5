#pragma once
// One step of the journey: its failures carry its name, and its outcome and duration are
// printed when it ends (the journey goes on after a failed step where it can).

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <cstdio>

namespace journey_e2e {

class Step {
public:
    Step(const char* file, int line, const char* name)
        : name_(name), trace_(file, line, name), failuresBefore_(Failures()) {
        timer_.start();
    }
    ~Step() {
        const bool failed = Failures() != failuresBefore_;
        std::printf("[ journey  ] %s: %s (%.1f s)\n", name_, failed ? "FAILED" : "passed",
                    static_cast<double>(timer_.elapsed()) / 1000.0);
        std::fflush(stdout);
    }
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

private:
    static int Failures() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        return test != nullptr ? test->result()->total_part_count() : 0;
    }

    const char* name_;
    ::testing::ScopedTrace trace_;
    int failuresBefore_;
    QElapsedTimer timer_;
};

}  // namespace journey_e2e
