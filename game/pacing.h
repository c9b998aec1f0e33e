// The pace of the frame loop: the rules tick 100 times a second of wall time, whatever a frame
// costs. Each loop iteration takes the ticks that have fallen due, draws once and waits for the
// next tick. Times are microseconds of a monotonic clock that the caller reads, so the pacing can
// be driven by any clock.
#pragma once

#include <cstdint>

constexpr int64_t TickPeriodUs = 10000; // 100 ticks a second
// At 10 frames a second the rules still keep time; on a slower or stalled machine the ticks beyond
// these are dropped, so play slows down instead of jumping a long way at once.
constexpr int32_t MaxTicksPerFrame = 10;

struct TTickPacing {
    bool OneTickPerFrame = false; // the original loop: one tick and a 10 ms sleep per iteration
    bool Started = false;
    int64_t NextTickUs = 0; // when the next tick falls due
};

// The number of ticks to run in the iteration that starts at `nowUs` (at most MaxTicksPerFrame);
// moves the schedule past them. The first call starts the schedule with one tick.
int32_t TakeDueTicks(TTickPacing& pacing, int64_t nowUs);
// How long to sleep at `nowUs`, after the frame, until the next tick falls due: 0 to TickPeriodUs.
int64_t SleepBeforeNextTick(const TTickPacing& pacing, int64_t nowUs);
