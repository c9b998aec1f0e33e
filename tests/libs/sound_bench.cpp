// The sound library's costs the game meets: decoding a sample at load time, and starting a
// playback while many play.
#include "bass_api.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// One second of a 44.1 kHz stereo 16-bit tone as a WAV.
std::vector<uint8_t> SecondOfTone() {
    const uint32_t rate = 44100, frames = rate, bytes = frames * 4;
    std::vector<uint8_t> wav;
    auto put = [&](uint32_t value, int count) {
        for (int i = 0; i < count; ++i) wav.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
    put(36 + bytes, 4);
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4), put(1, 2), put(2, 2), put(rate, 4), put(rate * 4, 4), put(4, 2), put(16, 2);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    put(bytes, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        auto value = static_cast<uint32_t>(static_cast<int16_t>(8000 * std::sin(i * 0.0627)));
        put(value, 2), put(value, 2);
    }
    return wav;
}

bool Open() {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return BASS_Init(1, 44100, 0, nullptr, nullptr) != 0;
}

void LoadSecondOfWav(benchmark::State& state) {
    if (!Open()) return state.SkipWithError("no audio output");
    std::vector<uint8_t> wav = SecondOfTone();
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
    std::vector<uint8_t> wav = SecondOfTone();
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
