// replay_runner FOLDER LEVEL REPLAY: plays the replay on level LEVEL (maps/mapLEVEL.map under
// FOLDER) through the game's own rules, headless and as fast as the machine goes, 30 steps to a
// simulated second. It prints the steps taken, the Up presses, the pickups collected and whether
// the exit was reached, and fails unless the replay collects every pickup and reaches the exit on
// its last step, with the recorded fingerprint when the replay has one.
//
// replay_runner --set FOLDER REPLAY: plays the whole set in a row from map 1, each exit loading
// the next map, and fails unless the replay's last step wraps play back to map 1.
#include "level_play.h"
#include "map.h"
#include "menus.h"
#include "render/particles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Run {
    bool Set = false;
    std::string Folder, ReplayPath;
    int32_t Level = 1;
};

bool ParseArguments(int argc, char** argv, Run& run) {
    run.Set = argc == 4 && std::strcmp(argv[1], "--set") == 0;
    if (run.Set) {
        run.Folder = argv[2];
        run.ReplayPath = argv[3];
        return true;
    }
    if (argc != 4) return false;
    run.Folder = argv[1];
    run.Level = std::atoi(argv[2]);
    run.ReplayPath = argv[3];
    return run.Level >= 1;
}

// Plays the replay; returns the steps played and reports each level finished.
size_t Play(const Run& run, const Replay& replay, uint32_t& fingerprint, bool& finished) {
    size_t step = 0, levelStart = 0;
    int32_t sparks = 0; // the most live at once on the level
    StepResult result;
    while (step < replay.size() && !finished) {
        const int32_t level = LevelNumber;
        result = PlayStep(replay[step] != 0);
        ++step;
        if (!result.ExitReached) sparks = std::max(sparks, LiveSparkCount());
        if (!result.ExitReached) {
            fingerprint = FoldFingerprint(fingerprint);
            continue;
        }
        const Replay part(replay.begin() + long(levelStart), replay.begin() + long(step));
        std::printf("%s: %zu steps, Up pressed %d times, %d/%d pickups, exit reached; at most %d "
                    "live sparks\n",
                    MapFileName(level).c_str(), step - levelStart, CountPresses(part),
                    result.Collected, result.Pickups, sparks);
        levelStart = step;
        sparks = 0;
        finished = !run.Set || LevelNumber == 1;
    }
    if (!finished)
        std::printf("%s: replay ended after %zu steps with %d/%d pickups, exit not reached\n",
                    MapFileName(LevelNumber).c_str(), step - levelStart, result.Collected,
                    result.Pickups);
    return step;
}

} // namespace

int main(int argc, char** argv) {
    Run run;
    if (!ParseArguments(argc, argv, run)) {
        std::fprintf(stderr, "usage: replay_runner FOLDER LEVEL REPLAY\n"
                             "       replay_runner --set FOLDER REPLAY\n");
        return 2;
    }
    Replay replay;
    uint32_t check = 0;
    bool hasCheck = false;
    std::string reason;
    if (!ReadReplay(run.ReplayPath, replay, check, hasCheck, reason)) {
        std::fprintf(stderr, "%s\n", reason.c_str());
        return 1;
    }
    if (!EnterLevel(run.Folder, run.Level)) return 1;
    const auto start = std::chrono::steady_clock::now();
    uint32_t fingerprint = FingerprintStart;
    bool finished = false;
    const size_t steps = Play(run, replay, fingerprint, finished);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu steps (%.1f simulated seconds) in %.4f s: %.0f steps per second; "
                "fingerprint %08x\n",
                steps, double(steps) / 30, seconds, double(steps) / seconds, fingerprint);
    if (!finished) return 1;
    if (steps < replay.size()) {
        std::printf("%s: %zu steps of the replay are left after the %s\n", run.ReplayPath.c_str(),
                    replay.size() - steps, run.Set ? "wrap to map 1" : "exit");
        return 1;
    }
    if (hasCheck && check != fingerprint) {
        std::printf("%s: the play differs from the recorded one (fingerprint %08x, recorded "
                    "%08x)\n",
                    run.ReplayPath.c_str(), fingerprint, check);
        return 1;
    }
    return 0;
}
