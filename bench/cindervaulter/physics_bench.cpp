// The cost of one physics step: the menu's rope scene, the playfield's body among walls, and how
// the step grows with the number of particles and constraints.
#include "physics/physics.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

static std::vector<TWall> Walls;
static std::vector<TCircle> Circles;

static void EmptyPlayfield() {
    ClearSystem(World);
    Walls.clear();
    Circles.clear();
}

// A chain of sticks from a pinned anchor to a pinned box corner; returns the corner's index.
static int32_t AddChain(TParticleSystem& sys, int32_t anchor, int count, TVec3 first, float dx,
                        float dy, float rest, TVec3 corner) {
    int32_t previous = anchor;
    for (int i = 0; i < count; i++) {
        TVec3 position = VecMake(first.x + dx * i, first.y + dy * i + float(i % 10), 0);
        int32_t p = AddParticle(sys, position, 1);
        AddConstraint(sys, MakeConstraint(previous, p, KindStick, rest));
        previous = p;
    }
    int32_t box = AddParticle(sys, corner, 1);
    PinParticle(sys, box);
    AddConstraint(sys, MakeConstraint(box, previous, KindStick, rest));
    return box;
}

// Like the menu backdrop: four chains from the screen corners holding a box; 60 particles, 56
// sticks and 4 links, 2 relaxation passes.
static void BuildMenuLikeScene(TParticleSystem& sys) {
    InitSystem(sys, 2, VecMake(800, 600, 0), VecMake(0, 1, 0), 1);
    ReserveParticles(sys, 100);
    ReserveConstraints(sys, 100);
    TVec3 corners[4] = {VecMake(0, 0, 0), VecMake(0, 600, 0), VecMake(800, 600, 0),
                        VecMake(800, 0, 0)};
    for (TVec3 corner : corners) PinParticle(sys, AddParticle(sys, corner, 1));
    int32_t topLeft = AddChain(sys, 0, 15, VecMake(0, 0, 0), 20, 30, 50, VecMake(300, 300, 0));
    int32_t topRight = AddChain(sys, 3, 15, VecMake(800, 0, 0), -20, 30, 50, VecMake(500, 300, 0));
    int32_t bottomLeft =
        AddChain(sys, 1, 11, VecMake(0, 600, 0), 20, -30, 30, VecMake(300, 300, 0));
    int32_t bottomRight =
        AddChain(sys, 2, 11, VecMake(700, 600, 0), -20, -30, 30, VecMake(500, 200, 0));
    int32_t box[4] = {topLeft, bottomLeft, bottomRight, topRight};
    for (int i = 0; i < 4; i++)
        AddConstraint(sys, MakeConstraint(box[i], box[(i + 1) % 4], KindLink, 1));
}

static void BM_MenuScene(benchmark::State& state) {
    EmptyPlayfield();
    TParticleSystem sys;
    BuildMenuLikeScene(sys);
    for (auto _ : state) {
        StepSystem(sys, Circles, Walls);
        benchmark::DoNotOptimize(sys.Positions.data());
    }
    state.counters["particles"] = sys.ParticleCount;
    state.counters["constraints"] = sys.ConstraintCount;
}
BENCHMARK(BM_MenuScene);

static void AddWall(TVec3 a, TVec3 b, TVec3 normal) {
    Walls.push_back(TWall{a, b, normal});
}

// The player's three-particle body with its circles in an arena of the given number of random walls
// plus the four around it.
static void BuildPlayfield(int wallCount) {
    EmptyPlayfield();
    const float size = 4500;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> place(0, size);
    std::uniform_real_distribution<float> length(50, 300);
    std::uniform_real_distribution<float> angle(0, 6.2831853f);
    for (int i = 0; i < wallCount; i++) {
        TVec3 a = VecMake(place(random), place(random), 0);
        float l = length(random);
        float t = angle(random);
        TVec3 b = VecAdd(a, VecMake(l * std::cos(t), l * std::sin(t), 0));
        AddWall(a, b, Normalize2D(Perpendicular(a, b)));
    }
    AddWall(VecMake(0, size, 0), VecMake(size, size, 0), VecMake(0, -1, 0));
    AddWall(VecMake(0, 0, 0), VecMake(size, 0, 0), VecMake(0, 1, 0));
    AddWall(VecMake(0, 0, 0), VecMake(0, size, 0), VecMake(1, 0, 0));
    AddWall(VecMake(size, 0, 0), VecMake(size, size, 0), VecMake(-1, 0, 0));

    ReserveParticles(World, 1000);
    ReserveConstraints(World, 1000);
    int32_t a = AddParticle(World, VecMake(2250, 2250, 0), 1.0f);
    int32_t b = AddParticle(World, VecMake(2250, 2300, 0), 1.2f);
    int32_t c = AddParticle(World, VecMake(2252, 2350, 0), 1.5f);
    AddConstraint(World, MakeConstraint(a, b, KindStick, 60));
    AddConstraint(World, MakeConstraint(b, c, KindStick, 60));
    Circles.push_back(MakeCircle(a, 20));
    Circles.push_back(MakeCircle(b, 13));
    Circles.push_back(MakeCircle(c, 20));
    InitSystem(World, 3, VecMake(size, size, 800), VecMake(0, 0.3f, 0), 0.5f);
}

static void BM_PlayfieldAmongWalls(benchmark::State& state) {
    BuildPlayfield(int(state.range(0)));
    for (auto _ : state) {
        StepSystem(World, Circles, Walls);
        benchmark::DoNotOptimize(World.Positions.data());
    }
    state.counters["walls"] = double(Walls.size());
    EmptyPlayfield();
}
BENCHMARK(BM_PlayfieldAmongWalls)->Arg(100)->Arg(1000);

// n particles in a zigzag chain of n - 1 sticks closed by a rope, hanging from its pinned first
// particle; 2 relaxation passes. The playfield is empty, so collisions cost nothing here.
static void BM_StepBySize(benchmark::State& state) {
    EmptyPlayfield();
    const int32_t n = int32_t(state.range(0));
    TParticleSystem sys;
    InitSystem(sys, 2, VecMake(2000, 2000, 0), VecMake(0, 1, 0), 1);
    ReserveParticles(sys, n);
    ReserveConstraints(sys, n);
    for (int32_t i = 0; i < n; i++) {
        AddParticle(sys, VecMake(10 + float(i % 1000) * 1.5f, 10 + float(i / 1000) * 1.5f, 0), 1);
    }
    PinParticle(sys, 0);
    for (int32_t i = 1; i < n; i++) {
        float rest = Distance2D(sys.Positions[i - 1], sys.Positions[i]);
        AddConstraint(sys, MakeConstraint(i - 1, i, KindStick, rest));
    }
    AddConstraint(sys, MakeConstraint(n - 1, 0, KindRope, 2000));
    for (auto _ : state) {
        StepSystem(sys, Circles, Walls);
        benchmark::DoNotOptimize(sys.Positions.data());
    }
    state.SetComplexityN(n);
    state.SetItemsProcessed(int64_t(state.iterations()) * n);
}
BENCHMARK(BM_StepBySize)
    ->Arg(100)
    ->Arg(300)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(10000)
    ->Arg(30000)
    ->Arg(100000)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
