// Processor share, memory and bit rates of the call statistics.

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "client/dialogs/panels/Bitrates.h"
#include "client/dialogs/panels/ProcessLoad.h"

namespace {

TEST(ProcessLoad, TheShareIsFractionalPerProcessorAndNoElapsedTimeGivesNoSample) {
    std::vector<ProcessLoad::Reading> readings = {
        {0, 1'000'000'000},
        {1'500'000, 1'100'000'000},  // 1.5 ms of processor in 100 ms
        {9'000'000, 1'100'000'000},  // no time passed: no sample
        {7'500'000, 1'200'000'000},  // 6 ms in 100 ms (from the last real sample)
    };
    size_t next = 0;
    ProcessLoad load;
    load.SetReadingSource([&] { return readings.at(next++); });
    load.SetProcessors(1);
    load.Sample();
    EXPECT_EQ(load.CpuPercent(), 0.0);
    load.Sample();
    EXPECT_DOUBLE_EQ(load.CpuPercent(), 1.5);
    load.Sample();
    EXPECT_DOUBLE_EQ(load.CpuPercent(), 1.5);
    load.SetProcessors(2);
    load.Sample();
    EXPECT_DOUBLE_EQ(load.CpuPercent(), 3.0);
}

TEST(ProcessLoad, AResetForgetsThePreviousSample) {
    std::vector<ProcessLoad::Reading> readings = {
        {0, 1'000'000'000}, {50'000'000, 1'100'000'000}, {60'000'000, 1'200'000'000}};
    size_t next = 0;
    ProcessLoad load;
    load.SetReadingSource([&] { return readings.at(next++); });
    load.SetProcessors(1);
    load.Sample();
    load.Reset();
    load.Sample();  // only stores
    EXPECT_EQ(load.CpuPercent(), 0.0);
    load.Sample();
    EXPECT_DOUBLE_EQ(load.CpuPercent(), 10.0);
}

TEST(ProcessLoad, MemoryComesFromTheStatusFileAndTheMachine) {
    const char* path = "process_load_status.txt";
    std::FILE* file = std::fopen(path, "w");
    ASSERT_NE(file, nullptr);
    std::fputs("Name:\tyav\nVmPeak:\t  999999 kB\nVmRSS:\t   52224 kB\nVmSwap:\t 0 kB\n", file);
    std::fclose(file);
    EXPECT_EQ(ProcessLoad::ReadWorkingSetMb(path), 51U);
    EXPECT_EQ(ProcessLoad::ReadWorkingSetMb("no/such/status"), 0U);
    std::remove(path);
    ProcessLoad load;
    load.Sample();
    EXPECT_GT(load.WorkingSetMb(), 0U);
    EXPECT_GE(load.PhysicalMb(), load.WorkingSetMb());
    EXPECT_GE(load.Processors(), 1);
}

TEST(Bitrates, TheFirstSampleOnlyStoresThenRatesAreBytesPerSecondOverThreeSeconds) {
    Bitrates rates;
    rates.Sample({3000, 6000, 9000, 12000, 300, 600});
    for (int i = 0; i < Bitrates::kCounters; ++i) {
        EXPECT_EQ(rates.Rate(i), 0);
    }
    rates.Sample({6000, 12000, 18000, 24000, 600, 1200});
    EXPECT_EQ(rates.Rate(0), 1000);
    EXPECT_EQ(rates.Rate(3), 4000);
    EXPECT_EQ(rates.Rate(5), 200);
    EXPECT_EQ(Bitrates::Kbps(rates.Rate(3)), 32);
    rates.Reset();
    EXPECT_EQ(rates.Rate(3), 0);
    rates.Sample({1, 1, 1, 1, 1, 1});
    EXPECT_EQ(rates.Rate(0), 0);
}

}  // namespace
