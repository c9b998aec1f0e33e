// The play step, headless with scripted keys: thrust and its cap, collecting, the exit and the
// wrap to map 1, the arrow, the flashes at rest and Esc.
#include "game.h"
#include "headless_engine.h"
#include "map.h"
#include "map_files.h"
#include "menus.h"
#include "render/particles.h"
#include "rules.h"
#include "run_program.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

namespace {

class Rules : public testing::Test {
  protected:
    void SetUp() override {
        UseHeadlessEngine();
        Randomize(12);
        GameScreen = LevelNumber = 1;
    }
    void TearDown() override { ResetLevel(); }
    // The map, held still: no gravity and no relaxation, so velocities are the rules' alone.
    void LoadStill(const std::vector<int32_t>& values) {
        ASSERT_TRUE(LoadMapBytes(MapBytes(values).data(), values.size() * 4));
        World.Gravity = VecMake(0, 0, 0);
        World.Iterations = 0;
    }
    float HeadVelocityY() const { return World.Positions[0].y - World.PrevPositions[0].y; }
};

} // namespace

TEST_F(Rules, UpAddsTwoPerStepUntilTheMeanSpeedReachesTenThenHoldsTheHeadAtTen) {
    LoadStill({100, 0, 0, 200, 300, 1, 1});  // a 4500 arena, the exit far away
    for (int step = 1; step <= 20; ++step) { // the mean speed is a third of the head's, at first
        if (step == 17) // then the body moves as one at 10, so the mean speed stays at the cap
            for (size_t b = 1; b < 3; ++b) World.PrevPositions[b].y = World.Positions[b].y + 10;
        TheHeadlessInput.Held = step < 20 ? 38 : 0; // released for the last: no thrust, no cap
        GameUpdate();
        EXPECT_FLOAT_EQ(HeadVelocityY(), step < 16 ? -2.0f * float(step) : -10) << step;
    }
}

TEST_F(Rules, AStepFromRestCollectsOnceKeepsTheFlashesStraightAndEscPausesAfterIt) {
    // Head at (200, 300), middle at (200, 350): a pickup at (200, 330) touches both.
    LoadStill({10, 0, 2, 200, 300, 10, 10, 200, 330, 0, 20, 20, 0});
    World.Gravity = VecMake(0, 1, 0);
    TheHeadlessInput.Pressed = 27;
    TheHeadlessEngine.Time = 4321;
    GameUpdate();
    EXPECT_EQ(CollectedCount, 1);
    EXPECT_FALSE(Pickups[0].Active);
    EXPECT_EQ(PlayerSpeed, 0);
    for (size_t k = 0; k < 4; ++k) // a link of 50 with Step 10: 4 points, all on the line
        EXPECT_EQ(Player.Flashes[k].Offsets, std::vector<float>(4, 0.0f)) << k;
    EXPECT_EQ(GameScreen, 0);
    EXPECT_EQ(MenuPage, PagePause);
    EXPECT_EQ(MenuSelection, 0);
    EXPECT_EQ(World.Positions[0].y, 300.25f); // and the step ran on: physics, sparks, camera, time
    EXPECT_NE(SparkList.Next, nullptr);
    EXPECT_EQ(Camera.PrevX, 10 - 400);
    EXPECT_EQ(LastUpdateTime, 4321);
}

TEST_F(Rules, TheExitWaitsForEveryPickupThenLoadsTheNextMapAndWrapsToMapOne) {
    const std::string dir = MakeScratchDir("rules");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::filesystem::create_directory("maps");
    // Map 1: exit and pickup at the head; map 2: no pickups, the exit at the head.
    WriteMapFile("maps/map1.map", {10, 0, 1, 100, 100, 100, 100, 100, 100, 0});
    WriteMapFile("maps/map2.map", {10, 0, 0, 200, 200, 200, 200});
    ASSERT_TRUE(LoadMap("map1.map"));
    GameUpdate(); // the exit is touched before the pickup is collected
    EXPECT_EQ(LevelNumber, 1);
    EXPECT_EQ(CollectedCount, 1);
    GameUpdate();
    EXPECT_EQ(LevelNumber, 2);
    EXPECT_EQ(StartPoint.x, 200);
    GameUpdate(); // no pickups: the exit opens at once; there is no map 3
    EXPECT_EQ(LevelNumber, 1);
    EXPECT_EQ(StartPoint.x, 100);
    EXPECT_TRUE(Pickups[0].Active);
    EXPECT_EQ(GameScreen, 1);
    // Map 2 grown too large and map 1 a named pipe (refused without blocking): the load error.
    std::filesystem::resize_file("maps/map2.map", MaxMapFileSize + 1);
    std::filesystem::remove("maps/map1.map");
    ASSERT_EQ(mkfifo("maps/map1.map", 0600), 0);
    CollectedCount = 1;
    GameUpdate();
    EXPECT_EQ(GameScreen, 0);
    EXPECT_EQ(MenuPage, PageLoadError);
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}

TEST_F(Rules, TheArrowTakesTheEarlierOfEquallyNearPickupsThenTheExit) {
    LoadStill({10, 0, 2, 200, 300, 400, 0, 0, 0, 0, 0, 0, 0});
    Camera.X = Camera.Y = 0; // the view's centre is (400, 300)
    // Two pickups, whether the first is active, the count collected, the heading. Headings are
    // measured from (0, 1), so a pickup 100 aside is 0.6 off 90; with both in, the exit is above.
    const float cases[][7] = {{500, 300, 300, 300, 1, 0, 90},
                              {300, 300, 500, 300, 1, 0, 270},
                              {400, 200, 400, 400, 1, 0, 0},
                              {400, 200, 400, 400, 0, 0, 180},
                              {400, 400, 400, 500, 0, 2, 0}};
    for (const auto& c : cases) {
        Pickups[0] = {VecMake(c[0], c[1], 0), c[4] == 1};
        Pickups[1].Position = VecMake(c[2], c[3], 0);
        CollectedCount = int32_t(c[5]);
        ArrowUpdate();
        EXPECT_NEAR(ArrowHeading, c[6], 0.6);
    }
}

TEST_F(Rules, TheViewClosesAFifteenthOfTheWayAndOnlyPickupsNearerThan500ToItSparkle) {
    // At scale 2 the body's centre is (400 2/3, 450) and the pickups 498 and 502 from the view's
    // centre (400, 300); the exit is far from both.
    LoadStill({20, 0, 2, 200, 200, 440, 440, 449, 150, 0, 200, 401, 0});
    Camera.X = Camera.Y = 0;
    GameUpdate();
    EXPECT_NEAR(Camera.X, 2.0f / 45, 1e-5f);
    EXPECT_FLOAT_EQ(Camera.Y, 10);
    int live = 0;
    for (const TSpark* s = SparkList.Next; s; s = s->Next) ++live;
    EXPECT_EQ(live, 3) << "one at the near pickup, two at the exit";
}
