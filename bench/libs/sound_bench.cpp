// The sound library's costs the game meets: decoding a sample at load time, and starting a
// playback while many play.
#include "bass_api.h"
#include "wav.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

bool Open() {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return BASS_Init(1, 44100, 0, nullptr, nullptr) != 0;
}

void LoadSecondOfWav(benchmark::State& state) {
    if (!Open()) return state.SkipWithError("no audio output");
    std::vector<uint8_t> wav = ToneWav(1000, 44100, 2);
    for (auto _ : state) {
        uint32_t sample =
            BASS_SampleLoad(1, wav.data(), 0, static_cast<uint32_t>(wav.size()), 1, 0);
        BASS_SampleFree(sample);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(wav.size()));
    BASS_Free();
}
BENCHMARK(LoadSecondOfWav)->Unit(benchmark::kMicrosecond);

// Starts one more playback over `range` looping ones already playing, then stops it by freeing.
void PlayAmongMany(benchmark::State& state) {
    if (!Open()) return state.SkipWithError("no audio output");
    std::vector<uint8_t> wav = ToneWav(1000, 44100, 2);
    auto size = static_cast<uint32_t>(wav.size());
    uint32_t background = BASS_SampleLoad(1, wav.data(), 0, size, 1000, BASS_SAMPLE_LOOP);
    for (int i = 0; i < state.range(0); ++i) BASS_SamplePlay(background);
    uint32_t sample = BASS_SampleLoad(1, wav.data(), 0, size, 1000000, 0);
    for (auto _ : state) benchmark::DoNotOptimize(BASS_SamplePlay(sample));
    BASS_Free();
}
BENCHMARK(PlayAmongMany)->Arg(1)->Arg(64)->Unit(benchmark::kMicrosecond)->Iterations(200);

} // namespace

BENCHMARK_MAIN();
