// What the rules cost per tick in each mode, and how many ticks a second the frame loop sustains
// with the score and menu drawn on the software renderer at 800 by 600.
#include "menu.h"
#include "modes.h"

#include "creature.h"
#include "startup.h"
#include "vorm/vorm.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

uint32_t BenchClock = 0;
// The program's own millisecond clock, for the loop that sleeps.
const auto SteadyClock = TickSource;

// A game in the mode with the snakes crawling, past the splash on a clock that moves 10 ms a tick.
void StartRules(TGameState mode) {
    SeedRandom(1);
    TickSource = [] { return BenchClock += 10; };
    StartTick = 0;
    BenchClock = 5000;
    CreateVorms(800, 600);
    NewGame(mode);
}

// A fall ends the game and halts the world, which is cheaper; a fresh game keeps the work real.
void UpdateGameTick(benchmark::State& state) {
    TGameState mode = static_cast<TGameState>(state.range(0));
    StartRules(mode);
    for (auto _ : state) {
        UpdateGame();
        if (Sinking) NewGame(mode);
    }
    benchmark::DoNotOptimize(Score);
    state.SetLabel(mode == gsJump ? "Jump" : mode == gsMove ? "Move" : "Stop");
    FreeVorms();
}
BENCHMARK(UpdateGameTick)->Arg(gsJump)->Arg(gsMove)->Arg(gsStop)->Unit(benchmark::kNanosecond);

bool StartWindowWithFont() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ScreenSettings = {800, 600, 800, 600, 32, 0, false};
    if (!InitEngine("Game", ScreenSettings)) return false;
    TFileNameList font{{"font", GAME_RUN_DIR "/Resources/font.ttf", 12, 0, 700}};
    return LoadResources(font, Resources, nullptr);
}

// One tick of the loop without its sleep: messages, rules, the frame with the score and menu.
// Paced (range 1) the figure is the loop's own rate, which the pacing holds near 100.
void FrameLoopTicks(benchmark::State& state) {
    if (!StartWindowWithFont()) return state.SkipWithError("no offscreen window or font");
    StartRules(gsJump);
    TickSource = SteadyClock;
    StartTick = GetTickCount() - 5000;
    for (auto _ : state) {
        if (state.range(0)) {
            RunFrame();
        } else {
            ProcessMessages();
            UpdateGame();
            BeginFrame();
            SetProjection(false);
            DrawHudAndMenu();
            EndFrame();
        }
        glFinish();
        if (Sinking) NewGame(gsJump);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(state.range(0) ? "paced to 100 ticks a second" : "without the sleep");
    FreeResources(Resources);
    FreeVorms();
}
BENCHMARK(FrameLoopTicks)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
