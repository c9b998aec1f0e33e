#include "pacing.h"

#include <algorithm>

int32_t TakeDueTicks(TTickPacing& pacing, int64_t nowUs) {
    if (pacing.OneTickPerFrame) return 1;
    if (!pacing.Started) {
        pacing.Started = true;
        pacing.NextTickUs = nowUs;
    }
    if (nowUs < pacing.NextTickUs) return 0;
    int64_t due = (nowUs - pacing.NextTickUs) / TickPeriodUs + 1;
    if (due > MaxTicksPerFrame) {
        // A stall: the missed time is forgotten and the schedule starts again from now.
        pacing.NextTickUs = nowUs + TickPeriodUs;
        return MaxTicksPerFrame;
    }
    pacing.NextTickUs += due * TickPeriodUs;
    return static_cast<int32_t>(due);
}

int64_t SleepBeforeNextTick(const TTickPacing& pacing, int64_t nowUs) {
    if (pacing.OneTickPerFrame) return TickPeriodUs;
    return std::clamp<int64_t>(pacing.NextTickUs - nowUs, 0, TickPeriodUs);
}
