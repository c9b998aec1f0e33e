// What one tick of the frame loop costs the platform layer before any drawing: the message pump
// with a burst of input, and a cleared, swapped 800 by 600 frame.
#include "engine/engine.h"
#include "game_support.h"

#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

bool Start() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    return InitEngine("Game", MakeScreenSettings(800, 600));
}

void ClearedFrame(benchmark::State& state) {
    if (!Start()) return state.SkipWithError("no offscreen window");
    for (auto _ : state) {
        BeginFrame();
        EndFrame();
        glFinish(); // the clear itself, not only its queuing
    }
}
BENCHMARK(ClearedFrame)->Unit(benchmark::kMicrosecond);

void MessagePumpWithInput(benchmark::State& state) {
    if (!Start()) return state.SkipWithError("no offscreen window");
    SDL_Event event{};
    for (auto _ : state) {
        for (int i = 0; i < state.range(0); ++i) {
            event.type = i % 2 ? SDL_KEYUP : SDL_KEYDOWN;
            event.key.keysym.sym = SDLK_a + i % 26;
            SDL_PushEvent(&event);
        }
        ProcessMessages();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(MessagePumpWithInput)->Arg(1)->Arg(64)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
