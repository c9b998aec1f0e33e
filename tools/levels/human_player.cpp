// human_player FOLDER LEVEL [--trials N] [--seed S] [--limit STEPS] [--fumble]: plays level LEVEL
// (maps/mapLEVEL.map under FOLDER) N times (100) with the model of a person of human_model.h,
// trial t seeded by S (1) and t, and prints the share of trials that reach the exit within STEPS
// (1800, a minute), the median time, and the restarts. With --fumble each trial first idles
// for 0 to 5 s with random taps of Up, as a newcomer looking at the screen, before playing.
//
// human_player FOLDER LEVEL --perturb REPLAY [--trials N] [--seed S]: plays the replay N times,
// each run of held or released steps made a random one step longer or shorter (or kept), its last
// run held on for another second, and prints the share of trials that still reach the exit.
#include "human_model.h"
#include "level_play.h"
#include "map.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct Options {
    std::string Folder, Perturb;
    int32_t Level = 0, Trials = 100, Limit = 1800;
    uint32_t Seed = 1;
    bool Fumble = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    if (argc < 3) return false;
    options.Folder = argv[1];
    options.Level = std::atoi(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--fumble") {
            options.Fumble = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (flag == "--trials")
            options.Trials = std::atoi(value);
        else if (flag == "--seed")
            options.Seed = uint32_t(std::strtoul(value, nullptr, 10));
        else if (flag == "--limit")
            options.Limit = std::atoi(value);
        else if (flag == "--perturb")
            options.Perturb = value;
        else
            return false;
    }
    return options.Level >= 1 && options.Trials >= 1 && options.Trials <= 100000 &&
           options.Limit >= 1;
}

// The seed of one trial: the run's seed and the trial number mixed, so runs do not overlap.
uint32_t TrialSeed(uint32_t seed, int32_t trial) {
    return seed * 2654435761u ^ uint32_t(trial) * 40503u;
}

// Idles for up to 5 s with random taps; true if that alone reached the exit.
bool Fumble(std::mt19937& noise) {
    const uint32_t steps = noise() % 151;
    uint32_t tap = 0;
    for (uint32_t i = 0; i < steps; ++i) {
        if (tap == 0 && noise() % 20 == 0) tap = 1 + noise() % 10;
        if (PlayStep(tap > 0).ExitReached) return true;
        if (tap > 0) --tap;
    }
    return false;
}

struct Outcome {
    bool Finished = false;
    int32_t Steps = 0, Restarts = 0;
};

Outcome PlayTrial(const Options& options, const LevelPaths& paths, uint32_t seed) {
    Outcome outcome;
    StartLevel(options.Level);
    HumanPlayer player;
    StartHuman(player, HumanParameters{}, paths, seed);
    if (options.Fumble && Fumble(player.Noise)) return {true, 0, 0};
    while (outcome.Steps < options.Limit) {
        ++outcome.Steps;
        if (PlayStep(HumanStep(player, LookAtPlay())).ExitReached) {
            outcome.Finished = true;
            break;
        }
        if (HumanGivesUp(player)) {
            StartLevel(options.Level);
            ForgetSight(player);
            outcome.Steps += player.Parameters.RestartCost;
            ++outcome.Restarts;
        }
    }
    return outcome;
}

// The replay with each run one step longer or shorter or kept, and the last run held a second on.
Replay Perturbed(const Replay& replay, std::mt19937& noise) {
    Replay out;
    for (size_t i = 0; i < replay.size();) {
        size_t j = i;
        while (j < replay.size() && replay[j] == replay[i]) ++j;
        const int64_t length = std::max<int64_t>(1, int64_t(j - i) + int64_t(noise() % 3) - 1);
        out.insert(out.end(), size_t(length) + (j == replay.size() ? 30 : 0), replay[i]);
        i = j;
    }
    return out;
}

bool PlayPerturbed(const Options& options, const Replay& replay, uint32_t seed) {
    std::mt19937 noise(seed);
    StartLevel(options.Level);
    for (uint8_t up : Perturbed(replay, noise))
        if (PlayStep(up != 0).ExitReached) return true;
    return false;
}

int RunPerturbed(const Options& options) {
    Replay replay;
    uint32_t check = 0;
    bool hasCheck = false;
    std::string error;
    if (!ReadReplay(options.Perturb, replay, check, hasCheck, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    int32_t finished = 0;
    for (int32_t t = 0; t < options.Trials; ++t)
        finished += PlayPerturbed(options, replay, TrialSeed(options.Seed, t)) ? 1 : 0;
    std::printf("%s: %d/%d perturbed replays finish (%.0f%%)\n", MapFileName(options.Level).c_str(),
                finished, options.Trials, 100.0 * finished / options.Trials);
    return 0;
}

void Report(const Options& options, std::vector<Outcome>& outcomes) {
    int32_t finished = 0, restarts = 0;
    std::vector<int32_t> times;
    for (const Outcome& o : outcomes) {
        finished += o.Finished ? 1 : 0;
        restarts += o.Restarts;
        times.push_back(o.Finished ? o.Steps : options.Limit + 1);
    }
    std::sort(times.begin(), times.end());
    const int32_t median = times[times.size() / 2];
    char medianText[64] = "over the limit";
    if (median <= options.Limit)
        std::snprintf(medianText, sizeof medianText, "%d steps (%.1f s)", median, median / 30.0);
    std::printf("%s: %d/%d trials finish within %d steps (%.0f%%); median time %s; %d restarts\n",
                MapFileName(options.Level).c_str(), finished, options.Trials, options.Limit,
                100.0 * finished / options.Trials, medianText, restarts);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: human_player FOLDER LEVEL [--trials N] [--seed S] "
                             "[--limit STEPS] [--fumble] [--perturb REPLAY]\n");
        return 2;
    }
    std::error_code ignored;
    if (!options.Perturb.empty())
        options.Perturb = std::filesystem::absolute(options.Perturb, ignored).string();
    if (!EnterLevel(options.Folder, options.Level)) return 1;
    if (!options.Perturb.empty()) return RunPerturbed(options);
    const LevelPaths paths = MakeLevelPaths();
    std::vector<Outcome> outcomes;
    for (int32_t t = 0; t < options.Trials; ++t)
        outcomes.push_back(PlayTrial(options, paths, TrialSeed(options.Seed, t)));
    Report(options, outcomes);
    return 0;
}
