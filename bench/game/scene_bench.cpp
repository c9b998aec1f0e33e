// One playing frame of the Game (RenderScene: snakes, road, obstacles, creature, compass, menu) on
// the software renderer, at 800x600 and at 1920x1080, with every real resource loaded.
#include "creature.h"
#include "modes.h"
#include "run_program.h"
#include "scene.h"
#include "startup.h"
#include "vorm/vorm.h"

#include <GL/gl.h>

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

// A Jump game some ticks in, in a window of the size, from a scratch copy of the run folder.
bool StartPlaying(int width, int height) {
    static const std::string folder = [] {
        std::string made = MakeScratchDir("scene-bench");
        CopyFolder(GAME_RUN_DIR, made);
        return made;
    }();
    if (chdir(folder.c_str()) != 0) return false;
    if (!InitEngine("Game", {width, height, 800, 600, 32, 0, false})) return false;
    ScreenSettings = GetScreenSettings();
    RegisterResourceFiles();
    LoadResources(ResourceFiles, Resources, nullptr);
    SeedRandom(1);
    CreateVorms(800, 600);
    StartTick = GetTickCount() - 5000;
    NewGame(gsJump);
    for (int tick = 0; tick < 120; ++tick) UpdateGame();
    return true;
}

void BM_PlayingFrame(benchmark::State& state) {
    if (!StartPlaying(int(state.range(0)), int(state.range(1)))) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    for (auto _ : state) {
        RenderScene();
        glFinish();
    }
    FreeVorms();
}
BENCHMARK(BM_PlayingFrame)
    ->Args({800, 600})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
