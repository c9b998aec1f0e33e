// The cost of one play step on a level of 100 and of 1,000 walls, with the sparks of the pickups
// and the exit live: the body is pushed with Up half the time, the clock runs at 30 steps a second.
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

void BM_GameUpdate(benchmark::State& state) {
    UseHeadlessEngine();
    const std::vector<uint8_t> map = RandomLevel(int(state.range(0)));
    LoadMapBytes(map.data(), map.size());
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
BENCHMARK(BM_GameUpdate)->Arg(100)->Arg(1000);

} // namespace

BENCHMARK_MAIN();
