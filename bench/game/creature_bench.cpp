// What the snakes and the creature cost: one simulation tick (which steps and retargets the snakes)
// against the loop's 10 ms period, and drawing the forty snakes in an 800 by 600 frame.
#include "creature.h"
#include "engine/engine.h"
#include "game_support.h"
#include "vorm/vorm.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

namespace {

void CreatureTick(benchmark::State& state) {
    SeedRandom(1);
    CreateVorms(800, 600);
    uint32_t now = 0;
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) UpdateCreature(now += 10);
    std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    // The wall-clock share of one 10 ms loop period that a tick takes; the budget is 1%.
    state.counters["percent_of_10ms"] =
        100 * elapsed.count() / static_cast<double>(state.iterations()) / 10;
    FreeVorms();
}
BENCHMARK(CreatureTick)->Unit(benchmark::kNanosecond);

void DrawSnakes(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (!InitEngine("Game", MakeScreenSettings(800, 600)))
        return state.SkipWithError("no offscreen window");
    SeedRandom(1);
    CreateVorms(800, 600);
    for (int i = 0; i < 200; ++i) UpdateCreature(static_cast<uint32_t>(i * 10));
    SetProjection(false);
    glLineWidth(2);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        DrawVorms();
        glFinish();
    }
    FreeVorms();
}
BENCHMARK(DrawSnakes)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
