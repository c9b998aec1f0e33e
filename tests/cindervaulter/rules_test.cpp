// The play step, headless with scripted keys: thrust and its cap, collecting, the exit and the
// wrap to map 1, the arrow, the flashes at rest and Esc.
#include "fake_engine.h"
#include "game.h"
#include "map.h"
#include "menus.h"
#include "render/particles.h"
#include "rules.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

std::vector<uint8_t> Bytes(std::vector<int32_t> values) {
    std::vector<uint8_t> out;
    for (int32_t v : values)
        for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(uint32_t(v) >> shift));
    return out;
}

class Rules : public testing::Test {
  protected:
    void SetUp() override {
        UseFakeEngine();
        Randomize(12);
        GameScreen = 1;
        LevelNumber = 1;
    }
    void TearDown() override { ResetLevel(); }
    // The map, with the world held still: no gravity and no relaxation, so each particle keeps
    // exactly the velocity the rules give it.
    void LoadStill(std::vector<int32_t> values) {
        ASSERT_TRUE(LoadMapBytes(Bytes(values).data(), values.size() * 4));
        World.Gravity = VecMake(0, 0, 0);
        World.Iterations = 0;
    }
    float HeadVelocityY() const { return World.Positions[0].y - World.PrevPositions[0].y; }
};

} // namespace

TEST_F(Rules, UpAddsTwoPerStepUntilTheMeanSpeedReachesTenThenHoldsTheHeadAtTen) {
    LoadStill({100, 0, 0, 200, 300, 1, 1}); // a 4500 arena, the exit far away
    TheFakeInput.Held = 38;
    for (int step = 1; step <= 15; ++step) { // the mean speed is a third of the head's
        GameUpdate();
        EXPECT_FLOAT_EQ(HeadVelocityY(), -2.0f * float(step)) << step;
    }
    GameUpdate(); // measured 30 / 3 = 10: capped
    EXPECT_FLOAT_EQ(HeadVelocityY(), -10);
    for (int b = 1; b < 3; ++b)
        World.PrevPositions[size_t(b)].y = World.Positions[size_t(b)].y + 10;
    for (int step = 0; step < 3; ++step) {
        GameUpdate();
        EXPECT_FLOAT_EQ(HeadVelocityY(), -10) << "held, step " << step;
    }
    TheFakeInput.Held = 0;
    GameUpdate();
    EXPECT_FLOAT_EQ(HeadVelocityY(), -10); // no thrust, no cap
}

TEST_F(Rules, APickupTouchedByTwoCirclesCountsOnceAndFlashesAtRestAreStraight) {
    // Head at (200, 300), middle at (200, 350): a pickup at (200, 330) touches both.
    LoadStill({10, 0, 2, 200, 300, 10, 10, 200, 330, 0, 20, 20, 0});
    GameUpdate();
    EXPECT_EQ(CollectedCount, 1);
    EXPECT_FALSE(Pickups[0].Active);
    EXPECT_EQ(PlayerSpeed, 0);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(Player.Flashes[size_t(k)].Offsets.size(), 4u) << k; // a link of 50, Step 10
        for (float offset : Player.Flashes[size_t(k)].Offsets) EXPECT_EQ(offset, 0) << k;
    }
}

TEST_F(Rules, TheExitWaitsForEveryPickupThenLoadsTheNextMapAndWrapsToMapOne) {
    const std::string dir = MakeScratchDir("rules");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::filesystem::create_directory("maps");
    auto write = [](const char* name, std::vector<int32_t> values) {
        const std::vector<uint8_t> bytes = Bytes(values);
        std::ofstream(name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    };
    // Map 1: exit and pickup at the head; map 2: no pickups, the exit at the head.
    write("maps/map1.map", {10, 0, 1, 100, 100, 100, 100, 100, 100, 0});
    write("maps/map2.map", {10, 0, 0, 200, 200, 200, 200});
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
    // Past the last map with no map 1 either, the load error shows.
    std::filesystem::remove("maps/map1.map");
    std::filesystem::remove("maps/map2.map");
    CollectedCount = 1;
    GameUpdate();
    EXPECT_EQ(GameScreen, 0);
    EXPECT_EQ(MenuPage, PageLoadError);
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}

TEST_F(Rules, TheArrowTakesTheEarlierOfEquallyNearPickupsThenTheExit) {
    LoadStill({10, 0, 2, 200, 300, 400, 0, 0, 0, 0, 0, 0, 0});
    Camera.X = 0;
    Camera.Y = 0; // the view's centre is (400, 300)
    const float cases[][5] = {
        // first pickup, second pickup, heading
        {500, 300, 300, 300, 90},
        {300, 300, 500, 300, 270},
        {400, 200, 400, 400, 0},
    };
    for (const auto& c : cases) {
        Pickups[0].Position = VecMake(c[0], c[1], 0);
        Pickups[1].Position = VecMake(c[2], c[3], 0);
        ArrowUpdate();
        // Measured from (0, 1), not the centre: a pickup 100 to the side is 0.6 off the axis.
        EXPECT_NEAR(ArrowHeading, c[4], 0.6);
    }
    Pickups[0].Active = false;
    ArrowUpdate();
    EXPECT_FLOAT_EQ(ArrowHeading, 180);
    CollectedCount = 2; // every pickup in: the exit, straight up
    ArrowUpdate();
    EXPECT_FLOAT_EQ(ArrowHeading, 0);
}

TEST_F(Rules, EscCompletesItsStepThenPauses) {
    LoadStill({10, 0, 0, 200, 300, 10, 10});
    World.PrevPositions[0].y += 3; // moving up
    TheFakeInput.Pressed = 27;
    TheFakeEngine.Time = 4321;
    GameUpdate();
    EXPECT_EQ(GameScreen, 0);
    EXPECT_EQ(MenuPage, PagePause);
    EXPECT_EQ(MenuSelection, 0);
    EXPECT_FLOAT_EQ(World.Positions[0].y, 297); // the step still ran: physics,
    EXPECT_NE(SparkList.Next, nullptr);         // sparks,
    EXPECT_EQ(Camera.PrevX, 10 - 400);          // camera
    EXPECT_EQ(LastUpdateTime, 4321);
}
