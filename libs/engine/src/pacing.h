// Timing of the main loop: the clock it reads, when update steps fall due and how long a frame
// waits.
#pragma once

#include <cstdint>

// The loop reads time and sleeps only through this, so tests can run it on simulated time.
struct EngineClock {
    int64_t (*NowUs)(); // microseconds on a monotonic clock
    void (*SleepUs)(int64_t us);
};

EngineClock SystemClock();

// After a stall the loop runs at most this many overdue steps and drops the rest.
constexpr int MaxCatchUpSteps = 5;
// Update rates are held to 1..MaxStepRate steps a second.
constexpr int32_t MaxStepRate = 1000;

// Step k falls due at StartUs + k / Rate seconds, computed from the start each time so rounding
// never accumulates into drift.
struct StepPacer {
    int64_t StartUs = 0;
    int64_t Rate = 1;
    int64_t Scheduled = 0; // steps run or dropped so far
};

void StartPacer(StepPacer& pacer, int32_t rate, int64_t nowUs);

// How many update steps to run now: every step due by `nowUs` not yet run, at most MaxCatchUpSteps.
int StepsDue(StepPacer& pacer, int64_t nowUs);

// When the next step falls due: the loop need not draw before it when each frame follows a step.
int64_t NextStepUs(const StepPacer& pacer);

// How long to sleep after a frame that began at `frameStartUs` so frames come every `periodUs`.
// With vsync the wait stops short of the period and the buffer swap takes up the rest.
int64_t FrameSleepUs(int64_t frameStartUs, int64_t nowUs, int64_t periodUs, bool vsync);
