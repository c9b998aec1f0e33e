// The model of a person: the same seed plays the same keys and finishes again, and no decision
// rests on what the screen showed more recently than the reaction delay.
#include "human_model.h"
#include "level_play.h"
#include "map.h"
#include "map_files.h"

#include <gtest/gtest.h>

namespace {

// An open arena 450 units wide, the start low in the middle, a pickup straight above it.
void LoadOpenLevel() {
    StartHeadlessPlay();
    const std::vector<uint8_t> map = MapBytes({10, 0, 1, 225, 300, 225, 60, 225, 150, 0});
    ASSERT_TRUE(LoadMapBytes(map.data(), map.size()));
}

std::vector<uint8_t> PlayKeys(const LevelPaths& paths, uint32_t seed, int32_t steps,
                              bool& finished) {
    LoadOpenLevel();
    HumanPlayer player;
    StartHuman(player, HumanParameters{}, paths, seed);
    std::vector<uint8_t> keys;
    finished = false;
    for (int32_t s = 0; s < steps && !finished; ++s) {
        keys.push_back(HumanStep(player, LookAtPlay()));
        finished = PlayStep(keys.back() != 0).ExitReached;
    }
    return keys;
}

// The body upright at rest, or upside down.
Sight Upright(bool upright) {
    Sight sight;
    const float dy = upright ? 60 : -60;
    sight.Body[0] = {225, 300, 0};
    sight.Body[1] = {225, 300 + dy, 0};
    sight.Body[2] = {225, 300 + 2 * dy, 0};
    sight.Motion = {0, 0, 0};
    sight.Left = {1};
    return sight;
}

} // namespace

TEST(HumanModel, TheSameSeedPlaysTheSameKeysAndALevelFinishedOnceFinishesAgain) {
    LoadOpenLevel();
    const LevelPaths paths = MakeLevelPaths();
    bool first = false, again = false, other = false;
    const std::vector<uint8_t> keys = PlayKeys(paths, 1, 900, first);
    EXPECT_TRUE(first);
    EXPECT_EQ(PlayKeys(paths, 1, 900, again), keys);
    EXPECT_TRUE(again);
    EXPECT_NE(PlayKeys(paths, 2, 900, other), keys) << "the seed moves the key timing";
}

TEST(HumanModel, NoDecisionRestsOnASightNewerThanTheReactionDelay) {
    LoadOpenLevel();
    const LevelPaths paths = MakeLevelPaths();
    const HumanParameters parameters;
    ASSERT_TRUE(WantsThrust(parameters, paths, Upright(true)));
    ASSERT_FALSE(WantsThrust(parameters, paths, Upright(false)));
    HumanPlayer steady, turned;
    StartHuman(steady, parameters, paths, 5);
    StartHuman(turned, parameters, paths, 5);
    const int32_t change = 20, seen = change + parameters.Perception;
    bool differed = false;
    for (int32_t s = 0; s < seen + parameters.Jitter + parameters.ShortestPress + 60; ++s) {
        const bool a = HumanStep(steady, Upright(true));
        const bool b = HumanStep(turned, Upright(s < change));
        if (s < seen) {
            EXPECT_EQ(a, b) << "step " << s << " already saw the turn";
        }
        differed = differed || a != b;
    }
    EXPECT_TRUE(differed) << "the turn, once seen, changes the keys";
}
