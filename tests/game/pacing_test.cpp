// The frame loop's pacing driven by a simulated clock: each frame costs a chosen time, the loop
// sleeps what the pacing asks, and the ticks run must keep 100 a second of that clock.
#include "pacing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int64_t Ms = 1000;

struct TRun {
    std::vector<int32_t> TicksPerFrame;
    int64_t ElapsedUs = 0;
    int64_t LongestSleepUs = 0;
};

// Frames of the given costs, starting at a clock far from zero.
TRun Play(bool oneTickPerFrame, const std::vector<int64_t>& frameCostsUs) {
    TTickPacing pacing{oneTickPerFrame};
    const int64_t start = 987654321 * Ms;
    int64_t now = start;
    TRun run;
    for (int64_t cost : frameCostsUs) {
        run.TicksPerFrame.push_back(TakeDueTicks(pacing, now));
        now += cost;
        int64_t sleep = SleepBeforeNextTick(pacing, now);
        run.LongestSleepUs = std::max(run.LongestSleepUs, sleep);
        now += sleep;
    }
    run.ElapsedUs = now - start;
    return run;
}

int64_t Total(const std::vector<int32_t>& ticks, size_t from = 0, size_t to = SIZE_MAX) {
    int64_t total = 0;
    for (size_t i = from; i < std::min(to, ticks.size()); ++i) total += ticks[i];
    return total;
}

TEST(Pacing, KeepsOneHundredTicksASecondWhateverAFrameCosts) {
    struct Case {
        int64_t CostUs;
        int32_t FewestPerFrame, MostPerFrame;
    };
    for (Case c : {Case{5 * Ms, 1, 1}, {10 * Ms, 1, 1}, {25 * Ms, 2, 3}, {100 * Ms, 10, 10}}) {
        SCOPED_TRACE(c.CostUs);
        TRun run = Play(false, std::vector<int64_t>(size_t(20 * 1000 * Ms / c.CostUs), c.CostUs));
        std::vector<int32_t> after(run.TicksPerFrame.begin() + 1, run.TicksPerFrame.end());
        EXPECT_EQ(*std::min_element(after.begin(), after.end()), c.FewestPerFrame);
        EXPECT_EQ(*std::max_element(after.begin(), after.end()), c.MostPerFrame);
        // Over 20 s the count falls short by at most the ticks the last frame's time made due.
        EXPECT_NEAR(double(Total(run.TicksPerFrame)), double(run.ElapsedUs) / TickPeriodUs,
                    c.MostPerFrame);
        EXPECT_LE(run.LongestSleepUs, TickPeriodUs);
    }
}

TEST(Pacing, AStallRunsABoundedBurstAndThenKeepsTime) {
    std::vector<int64_t> costs(300, 5 * Ms);
    costs[100] = 5000 * Ms;
    TRun run = Play(false, costs);
    EXPECT_EQ(Total(run.TicksPerFrame, 0, 101), 101);
    EXPECT_EQ(run.TicksPerFrame[101], MaxTicksPerFrame);
    EXPECT_EQ(Total(run.TicksPerFrame, 102), 198);
}

TEST(Pacing, TheOriginalLoopRunsOneTickPerFrameAndSleepsTenMilliseconds) {
    for (int64_t cost : {0 * Ms, 5 * Ms, 25 * Ms, 100 * Ms, 5000 * Ms}) {
        TRun run = Play(true, std::vector<int64_t>(50, cost));
        EXPECT_EQ(run.TicksPerFrame, std::vector<int32_t>(50, 1)) << cost;
        EXPECT_EQ(run.ElapsedUs, 50 * (cost + 10 * Ms)) << cost;
    }
}

} // namespace
