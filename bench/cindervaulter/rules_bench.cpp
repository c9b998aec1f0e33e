// The cost of one play step on a level of 100 and of 1,000 walls, and on the largest maps, with the
// sparks of the pickups and the exit live: the body is pushed with Up half the time, the clock runs
// at 30 steps a second.
#include "headless_engine.h"
#include "map.h"
#include "render/particles.h"
#include "rules.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

void Put(std::vector<uint8_t>& out, int32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(uint32_t(v) >> shift));
}

// An arena of scale 100 (4,500 wide) with random walls and 20 pickups near the start.
std::vector<uint8_t> RandomLevel(int walls) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int32_t> place(0, 450), offset(-30, 30);
    std::vector<uint8_t> map;
    for (int32_t v : {100, walls, 20, 225, 225, 400, 40}) Put(map, v);
    for (int i = 0; i < walls; ++i) {
        const int32_t x = place(random), y = place(random);
        for (int32_t v : {x, y, x + offset(random), y + offset(random)}) Put(map, v);
    }
    for (int i = 0; i < 20; ++i)
        for (int32_t v : {200 + offset(random), 200 + offset(random), 0}) Put(map, v);
    return map;
}

// The largest map the loader accepts, filled with walls (65,534, scattered over the arena) or with
// pickups (87,379, all within reach of the sparks around the start).
std::vector<uint8_t> LargestLevel(bool walls) {
    const int count = int((MaxMapFileSize - 28) / (walls ? 16 : 12));
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> place(0, 450), near(200, 250), offset(-30, 30);
    std::vector<uint8_t> map;
    for (int32_t v : {100, walls ? count : 0, walls ? 0 : count, 225, 225, 400, 40}) Put(map, v);
    for (int i = 0; i < count; ++i) {
        if (!walls) {
            for (int32_t v : {near(random), near(random), 0}) Put(map, v);
            continue;
        }
        const int32_t x = place(random), y = place(random);
        for (int32_t v : {x, y, x + offset(random), y + offset(random)}) Put(map, v);
    }
    return map;
}

void PlaySteps(benchmark::State& state, const std::vector<uint8_t>& map) {
    UseHeadlessEngine();
    if (!LoadMapBytes(map.data(), map.size())) return state.SkipWithError("the map is refused");
    int step = 0;
    double sparks = 0;
    for (auto _ : state) {
        TheHeadlessEngine.Time = step * 1000 / 30;
        TheHeadlessInput.Held = (step / 20) % 2 ? 38 : 0;
        GameUpdate();
        ++step;
        int live = 0;
        for (TSpark* s = SparkList.Next; s; s = s->Next) ++live;
        sparks += live;
    }
    state.counters["walls"] = double(Walls.size());
    state.counters["live sparks"] = sparks / double(step);
    ResetLevel();
}

void BM_GameUpdate(benchmark::State& state) {
    PlaySteps(state, RandomLevel(int(state.range(0))));
}
BENCHMARK(BM_GameUpdate)->Arg(100)->Arg(1000);

// A step must stay far below the 33 ms of a step at 30 a second, leaving the frame its time.
void BM_GameUpdateLargestMap(benchmark::State& state) {
    PlaySteps(state, LargestLevel(state.range(0) != 0));
}
BENCHMARK(BM_GameUpdateLargestMap)->ArgName("walls")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
