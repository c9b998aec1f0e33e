// The frame loop's pacing driven by a simulated clock: each frame costs a chosen time, the loop
// sleeps what the pacing asks, and the ticks run must keep 100 a second of that clock.
#include "pacing.h"

#include <gtest/gtest.h>

#include <numeric>
#include <tuple>
#include <vector>

namespace {

constexpr int64_t Ms = 1000;

// The ticks run in each frame of the given costs, from a clock far from zero; the time it took.
std::vector<int32_t> Play(bool oneTickPerFrame, const std::vector<int64_t>& costsUs,
                          int64_t& elapsedUs) {
    TTickPacing pacing{oneTickPerFrame};
    const int64_t start = 987654321 * Ms;
    int64_t now = start;
    std::vector<int32_t> ticks;
    for (int64_t cost : costsUs) {
        ticks.push_back(TakeDueTicks(pacing, now));
        now += cost;
        int64_t sleep = SleepBeforeNextTick(pacing, now);
        EXPECT_GE(sleep, 0);
        EXPECT_LE(sleep, TickPeriodUs);
        now += sleep;
    }
    elapsedUs = now - start;
    return ticks;
}

TEST(Pacing, KeepsOneHundredTicksASecondWhateverAFrameCosts) {
    for (auto [cost, fewestPerFrame, mostPerFrame] :
         {std::tuple{5 * Ms, 1, 1}, {10 * Ms, 1, 1}, {25 * Ms, 2, 3}, {100 * Ms, 10, 10}}) {
        SCOPED_TRACE(cost);
        int64_t elapsed = 0;
        auto ticks = Play(false, std::vector<int64_t>(size_t(20000 * Ms / cost), cost), elapsed);
        auto [fewest, most] = std::minmax_element(ticks.begin() + 1, ticks.end());
        EXPECT_EQ(*fewest, fewestPerFrame);
        EXPECT_EQ(*most, mostPerFrame);
        // Over 20 s the count falls short by at most the ticks the last frame's time made due.
        EXPECT_NEAR(double(std::accumulate(ticks.begin(), ticks.end(), 0)),
                    double(elapsed) / TickPeriodUs, mostPerFrame);
    }
}

TEST(Pacing, AStallRunsABoundedBurstAndThenKeepsTime) {
    std::vector<int64_t> costs(300, 5 * Ms);
    costs[100] = 5000 * Ms;
    int64_t elapsed = 0;
    auto ticks = Play(false, costs, elapsed);
    EXPECT_EQ(std::accumulate(ticks.begin(), ticks.begin() + 101, 0), 101);
    EXPECT_EQ(ticks[101], MaxTicksPerFrame);
    EXPECT_EQ(std::accumulate(ticks.begin() + 102, ticks.end(), 0), 198);
}

TEST(Pacing, TheOriginalLoopRunsOneTickPerFrameAndSleepsTenMilliseconds) {
    for (int64_t cost : {0 * Ms, 5 * Ms, 25 * Ms, 100 * Ms, 5000 * Ms}) {
        int64_t elapsed = 0;
        EXPECT_EQ(Play(true, std::vector<int64_t>(50, cost), elapsed), std::vector<int32_t>(50, 1));
        EXPECT_EQ(elapsed, 50 * (cost + 10 * Ms)) << cost;
    }
}

} // namespace
