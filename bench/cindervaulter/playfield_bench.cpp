// What one playfield frame costs on the software renderer: a 1,000-wall map with 200 live sparks
// around the body, drawn into the engine's 800 x 600 frame and finished.
#include "engine.h"
#include "game.h"
#include "map.h"
#include "render/particles.h"
#include "render/playfield.h"
#include "rules.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

bool Start() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::string log = std::filesystem::temp_directory_path() / "playfield_bench_log.txt";
    if (!Engine && !BindEngine(log.c_str())) return false;
    if (!Window->SetMode(false, 800, 600, 32, 75)) return false;
    GameInit();
    return true;
}

// Walls of 20 to 200 units scattered over a 9,000-unit arena, pickups among them, the body in
// the middle and sparks around it.
void BuildBusyLevel(int walls, int sparks) {
    ResetLevel();
    ReserveParticles(World, 1000);
    CreatePlayer(4500, 4500);
    std::mt19937 random(5);
    std::uniform_real_distribution<float> place(0, 9000), length(-100, 100);
    for (int i = 0; i < walls; ++i) {
        const TVec3 a = VecMake(place(random), place(random), 0);
        const TVec3 b = VecAdd(a, VecMake(length(random), length(random), 0));
        AddWall(MakeWall(a, b, Normalize2D(Perpendicular(a, b))));
    }
    for (int i = 0; i < 20; ++i)
        Pickups.push_back({VecMake(place(random), place(random), 0), true});
    ExitPoint = VecMake(4600, 4400, 0);
    Randomize(3);
    SpawnSparks(sparks, 3, 1, 4500, 4500, 0.2f);
    Camera.DrawX = 4100;
    Camera.DrawY = 4200;
    PlayerSpeed = 5;
    PlayerUpdate();
}

void PlayfieldFrame(benchmark::State& state) {
    if (!Start()) return state.SkipWithError("no offscreen window");
    BuildBusyLevel(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glViewport(0, 0, 800, 600);
        Render->Set2D(0, 0, 800, 600);
        DrawPlayfield();
        glFinish(); // the drawing itself, not only its queuing
    }
    ResetLevel();
}
BENCHMARK(PlayfieldFrame)
    ->Args({1000, 200})
    ->Args({1000, 0})
    ->Args({0, 200})
    ->Args({0, MaxLiveSparks})
    ->Args({65534, 0})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
