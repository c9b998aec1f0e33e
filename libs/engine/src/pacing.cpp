#include "pacing.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

int64_t SteadyNowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void SleepForUs(int64_t us) {
    std::this_thread::sleep_for(std::chrono::microseconds(us));
}

// Time left for the buffer swap to wait for the vertical blank.
constexpr int64_t VSyncMarginUs = 2000;

} // namespace

EngineClock SystemClock() {
    return EngineClock{SteadyNowUs, SleepForUs};
}

void StartPacer(StepPacer& pacer, int32_t rate, int64_t nowUs) {
    pacer.StartUs = nowUs;
    pacer.Rate = std::clamp<int32_t>(rate, 1, MaxStepRate);
    pacer.Scheduled = 0;
}

int StepsDue(StepPacer& pacer, int64_t nowUs) {
    if (nowUs < pacer.StartUs) return 0;
    int64_t dueByNow = (nowUs - pacer.StartUs) * pacer.Rate / 1000000 + 1;
    int64_t overdue = dueByNow - pacer.Scheduled;
    if (overdue <= 0) return 0;
    int64_t run = std::min<int64_t>(overdue, MaxCatchUpSteps);
    pacer.Scheduled = dueByNow;
    return static_cast<int>(run);
}

int64_t NextStepUs(const StepPacer& pacer) {
    // Step k is due once (now - start) * rate / 10^6 >= k, that is from start + ceil(k 10^6 /
    // rate).
    return pacer.StartUs + (pacer.Scheduled * 1000000 + pacer.Rate - 1) / pacer.Rate;
}

int64_t FrameSleepUs(int64_t frameStartUs, int64_t nowUs, int64_t periodUs, bool vsync) {
    int64_t wakeUs = frameStartUs + periodUs - (vsync ? VSyncMarginUs : 0);
    return std::max<int64_t>(wakeUs - nowUs, 0);
}
