// The level choice: which maps a folder offers, stepping and wrapping through them, the first
// level offered, and the names beside the maps.
#include "levels.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using Levels = ScratchFolderTest;

TEST_F(Levels, TheChoiceStepsAndWrapsWithinTheMapsPresent) {
    // Names that are not maps, or not numbered as the game numbers them, do not count.
    for (const char* other : {"map0.map", "map07.map", "mapx.map", "map40.name", "map.map"})
        std::ofstream(Dir + "/" + other) << "x";
    EXPECT_EQ(HighestMap(Dir + "/none"), 0);
    const struct {
        int32_t Maps, From, Delta, To;
    } cases[] = {
        // clang-format off
        {1, 1, -1, 1}, {1, 1, 1, 1}, {2, 1, -1, 2}, {2, 2, 1, 1}, {2, 1, 1, 2}, {16, 1, -1, 16},
        {16, 16, 1, 1}, {16, 9, 1, 10}, {16, 10, -1, 9},
        {16, 40, 1, 1}, // a number beyond the maps (the rules advanced it) steps from the last
        {0, 1, -1, 1}, {0, 12, 1, 13}, // without maps: never below 1, no upper limit
        // clang-format on
    };
    int32_t made = 0;
    for (const auto& c : cases) {
        for (; made < c.Maps; ++made)
            std::ofstream(Dir + "/map" + std::to_string(made + 1) + ".map");
        const int32_t highest = c.Maps ? HighestMap(Dir) : 0;
        EXPECT_EQ(highest, c.Maps);
        EXPECT_EQ(StepLevel(c.From, c.Delta, highest), c.To)
            << c.Maps << " maps, " << c.From << " by " << c.Delta;
    }
}

TEST_F(Levels, OffersTheLevelAfterTheLastFinished) {
    const int32_t cases[][3] = {{0, 12, 1}, {3, 12, 4}, {12, 12, 1}, {15, 12, 1}, {1, 1, 1}};
    for (const auto& [last, highest, offered] : cases)
        EXPECT_EQ(LevelAfter(last, highest), offered) << last << " of " << highest;
}

TEST_F(Levels, NamesComeFromTheSideFileFirstLine) {
    std::ofstream(Dir + "/map1.name") << "First Steps\r\nsecond line";
    std::ofstream(Dir + "/map2.name") << std::string(58, 'a') << "\xD0\x96\xD0\x96";
    EXPECT_EQ(LevelName(Dir, 1), "First Steps");
    EXPECT_EQ(LevelName(Dir, 2), std::string(58, 'a') + "\xD0\x96") << "cut between characters";
    EXPECT_EQ(LevelName(Dir, 3), "");
}

} // namespace
