// Around the rules, headless: two levels that finish by falling onto the exit are timed and
// recorded, the last one shows the ending page with the set's total before map 1 plays on, R
// restarts, and in a read-only folder play goes on with one line in the log.
#include "file_modes.h"
#include "game.h"
#include "headless_engine.h"
#include "map.h"
#include "map_files.h"
#include "menus.h"
#include "player.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct CountingLog final : IEngineLog {
    int32_t AddRef() override { return 1; }
    int32_t Release() override { return 1; }
    void Print(const char*) override { ++Lines; }
    int Lines = 0;
};

class Player : public ScratchFolderTest {
  protected:
    void SetUp() override {
        std::filesystem::create_directory(Dir + "/maps");
        // A pickup at the start and the exit just below it: the body falls onto an open exit.
        for (const char* name : {"/maps/map1.map", "/maps/map2.map"})
            WriteMapFile(Dir + name, {10, 0, 1, 200, 150, 202, 300, 200, 150, 0});
        Home = std::filesystem::current_path();
        std::filesystem::current_path(Dir);
        UseHeadlessEngine();
        EngineLog = &Log;
        Records = {};
        SaveFailureLogged = false;
        GameScreen = LevelNumber = 1;
        ASSERT_TRUE(LoadMap(MapFileName(1)));
        LevelSteps = RunSteps = 0;
    }
    void TearDown() override {
        EngineLog = nullptr;
        ResetLevel();
        std::filesystem::current_path(Home);
    }
    // Plays without keys until the screen changes; the steps it took.
    int PlayToMenu() {
        int steps = 0;
        while (GameScreen == 1 && steps < 1000) PlayerGameUpdate(), ++steps;
        return steps;
    }
    std::filesystem::path Home;
    CountingLog Log;
};

TEST_F(Player, TheSetIsTimedRecordedAndEndsOnItsPageBeforeMapOnePlaysOn) {
    const int steps = PlayToMenu();
    ASSERT_EQ(MenuPage, PageEnding);
    EXPECT_EQ(EndingSteps, steps) << "the set's total is every step played";
    const TRecords saved = ReadRecords(RecordsFileName);
    EXPECT_EQ(saved.LastFinished, 2);
    EXPECT_EQ(BestSteps(saved, 1) + BestSteps(saved, 2), steps);
    TheHeadlessInput.Pressed = 13;
    PlayerMenuUpdate();
    EXPECT_EQ(std::make_tuple(GameScreen, LevelNumber, CollectedCount), std::make_tuple(1, 1, 0));
    PlayerGameUpdate();
    TheHeadlessInput.Pressed = KeyRestart;
    const int32_t loads = MapLoadCount;
    PlayerGameUpdate();
    EXPECT_EQ(std::make_tuple(MapLoadCount, LevelSteps, CollectedCount),
              std::make_tuple(loads + 1, 0, 0));
    EXPECT_EQ(Log.Lines, 0);
}

TEST_F(Player, AReadOnlyFolderPlaysOnAndSaysSoOnce) {
    FileModesHold hold;
    std::filesystem::permissions(Dir, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_exec);
    PlayToMenu();
    std::filesystem::permissions(Dir, std::filesystem::perms::owner_all);
    EXPECT_EQ(Records.LastFinished, 2);
    EXPECT_FALSE(std::filesystem::exists(RecordsFileName));
    EXPECT_EQ(Log.Lines, 1) << "two finishes, one line";
}

} // namespace
