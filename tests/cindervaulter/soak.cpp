// Plays Cindervaulter's levels headless for a number of simulated seconds through the game's own
// rules, Up held in seeded random bursts, and counts the playfield's particle coordinates that are
// not finite after each step. Run by scripts/soak.sh, not by CI:
//   cindervaulter_soak RUN_FOLDER SECONDS [SEED]
#include "game.h"
#include "headless_engine.h"
#include "map.h"
#include "menus.h"
#include "physics/physics.h"
#include "rules.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

int64_t NonFiniteValues() {
    int64_t count = 0;
    for (size_t i = 0; i < static_cast<size_t>(World.ParticleCount); ++i)
        for (const TVec3& p : {World.Positions[i], World.PrevPositions[i]})
            count += !std::isfinite(p.x) + !std::isfinite(p.y) + !std::isfinite(p.z);
    return count;
}

// A level not left within this many steps is restarted, as a player would from the pause menu.
constexpr int64_t RestartSteps = 30 * 120;

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: cindervaulter_soak RUN_FOLDER SECONDS [SEED]\n", stderr);
        return 2;
    }
    std::filesystem::current_path(argv[1]);
    const int64_t steps = std::atoll(argv[2]) * 30;
    std::mt19937 random(argc > 3 ? static_cast<uint32_t>(std::atoi(argv[3])) : 1u);
    UseHeadlessEngine();
    Randomize(random());
    GameScreen = LevelNumber = 1;
    if (!LoadMap(MapFileName(1))) {
        std::fputs("cindervaulter_soak: map 1 cannot be loaded\n", stderr);
        return 2;
    }
    int64_t nonFinite = 0, exits = 0, restarts = 0, burst = 0, levelSteps = 0;
    for (int64_t step = 0; step < steps; ++step) {
        if (burst-- <= 0) {
            TheHeadlessInput.Held = TheHeadlessInput.Held ? 0 : 38;
            burst = std::uniform_int_distribution<int64_t>(3, 45)(random);
        }
        const int32_t level = LevelNumber;
        TheHeadlessEngine.Time = static_cast<int32_t>(step * 1000 / 30);
        GameUpdate();
        if (GameScreen != 1) {
            std::fprintf(stderr, "cindervaulter_soak: play left for the menus at step %lld\n",
                         static_cast<long long>(step));
            return 2;
        }
        nonFinite += NonFiniteValues();
        if (LevelNumber != level) {
            ++exits;
            levelSteps = 0;
        } else if (++levelSteps == RestartSteps) {
            ++restarts;
            levelSteps = 0;
            LoadMap(MapFileName(LevelNumber));
        }
    }
    std::printf("%lld steps (%lld simulated seconds): %lld exits reached, %lld restarts, "
                "%lld non-finite particle values\n",
                static_cast<long long>(steps), static_cast<long long>(steps / 30),
                static_cast<long long>(exits), static_cast<long long>(restarts),
                static_cast<long long>(nonFinite));
    return nonFinite == 0 ? 0 : 1;
}
