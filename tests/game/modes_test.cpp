// The rules driven tick by tick on the test's own clock, and the menu drawn offscreen.
#include "modes.h"

#include "creature.h"
#include "offscreen_gl.h"
#include "startup.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

uint32_t Now = 0;
// Plays ticks 10 ms apart; with a mode, in a new game long after the splash with obstacle 0 given.
void Play(int ticks, TGameState mode = gsSplash, float lane = 0, TObstacle first = {}) {
    TickSource = [] { return Now += 10; };
    if (mode != gsSplash) {
        SeedRandom(7);
        NewGame(mode);
        LanePos = lane;
        Obstacles = {first, {230, 1}, {260, 1}, {290, 1}, {320, 1}, {350, 1}, {380, 1}};
        Now = StartTick + 5000;
    }
    for (int tick = 0; tick < ticks; ++tick) UpdateGame();
}

TEST(Rules, TheSplashHolds2000MsThenAJumpGameStartsByItself) {
    GameState = gsMove;
    Now = (StartTick = 0xFFFFF830) - 10; // the counter wraps just as the splash ends
    Play(200);
    EXPECT_EQ(GameState, gsSplash);
    Play(2);
    EXPECT_EQ(GameState, gsJump);
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(Obstacles.size(), 7u);
}

// Obstacle 0 starts 5 ahead, alongside from its first advance for 17 of the 20 ticks; only a
// Move-mode bounce takes the press of space. Halves round to even (the last four).
TEST(Rules, ContactsFallBounceAndPassInEachMode) {
    using C = std::tuple<TGameState, float, TObstacle, bool, int32_t, float, float>;
    for (auto [mode, lane, first, space, score, distance, offset] :
         {C{gsJump, 0, {5, 2}, false, 66, -7, 0}, C{gsJump, 0, {5, 1}, false, 0, 4.4f, 0},
          C{gsMove, -10, {5, 3}, false, 17, -7, 0}, C{gsMove, 10, {5, 3}, false, 0, 4.4f, 0},
          C{gsMove, 10, {5, 4}, true, 66, -7, 0}, C{gsStop, 0, {0, 2, -6, .25f}, true, 50, 0, -1},
          C{gsStop, 0, {4.5f, 2}, true, 0, 4.5f, 0}, C{gsStop, 0, {-5.5f, 2}, true, 50, -5.5f, 0},
          C{gsStop, 0, {0, 2, -4.5f}, true, 0, 0, -4.5f},
          C{gsStop, 0, {0, 2, 5.5f}, true, 50, 0, 5.5f}}) {
        Keys[VK_SPACE] = space;
        Play(20, mode, lane, first);
        SCOPED_TRACE(testing::Message() << int(mode) << " " << first.Distance << ": " << Score);
        EXPECT_EQ(Score, score);
        EXPECT_EQ(Sinking, first.Kind % 2 == 1 && score == 0);
        EXPECT_EQ(JumpHeight < 0, Sinking);
        EXPECT_EQ(Keys[VK_SPACE], space && mode == gsStop);
        EXPECT_EQ(Obstacles[0].Offset, offset);
        EXPECT_NEAR(Obstacles[0].Distance, distance, 1e-3);
    }
}

// Obstacle 0 comes within 25 of obstacle 1 and is sent back, to come back 100 to 149 ahead; a third
// at 125 is near wherever that is; in Move mode an obstacle in the other lane does not count.
TEST(Rules, SpacingSendsTheLowerIndexBackToRespawnAhead) {
    for (auto [mode, third, low, high] : {std::tuple{gsJump, 400.f, 100.f, 149.f},
                                          {gsJump, 125.f, -100.f, -100.f},
                                          {gsMove, 400.f, 48.8f, 48.8f}}) {
        Play(0, mode, -10, {50, 1});
        Obstacles[1] = {60.6f, uint8_t(mode == gsMove ? 3 : 1)};
        Obstacles[2].Distance = third;
        Play(2);
        EXPECT_GT(Obstacles[0].Distance, low - 1e-3) << third << ": " << Obstacles[0].Distance;
        EXPECT_LT(Obstacles[0].Distance, high + 1e-3) << third << ": " << Obstacles[0].Distance;
    }
}

using Colours = std::set<std::vector<uint8_t>>;
// Draws the menu with the mouse at (x, y); the colours drawn on the label "New Move".
Colours DrawMenu(int32_t x, int32_t y) {
    MousePos = {x, y};
    BeginFrame();
    SetProjection(false);
    DrawHudAndMenu();
    std::vector<uint8_t> p = ReadPixelsRGBA(24, 600 - 72, 162 - 24, 72 - 60);
    Colours found;
    for (size_t i = 0; i < p.size(); i += 4)
        if (p[i] || p[i + 1] || p[i + 2]) found.insert({p[i], p[i + 1], p[i + 2]});
    return found;
}

// Clicks about "New Move" (24, 60, 162, 72) at two window widths, held for two frames; then "Exit".
TEST(Menu, HoverColoursClicksAtAnyWindowSizeExitAndNoFont) {
    ScreenSettings = {800, 600, 800, 600, 32, 0, false};
    ASSERT_TRUE(InitEngine("Game", ScreenSettings));
    TFileNameList font{{"font", GAME_RUN_DIR "/Resources/font.ttf", 12, 0, 700}};
    ASSERT_TRUE(LoadResources(font, Resources, nullptr));
    using K = std::tuple<int32_t, int32_t, int32_t, bool>;
    for (auto [width, x, y, starts] :
         {K{800, 100, 66, true}, K{800, 100, 72, false}, K{800, 162, 66, false},
          K{1600, 200, 132, true}, K{1600, 200, 144, false}, K{800, 30, 114, false}}) {
        std::tie(ScreenSettings.Width, ScreenSettings.Height) = std::tuple{width, width * 3 / 4};
        GameState = gsJump;
        Keys[VK_LBUTTON] = true;
        Colours label = DrawMenu(x, y);
        Score = 5;
        DrawMenu(x, y);
        EXPECT_EQ(GameState, starts ? gsMove : gsJump) << x << "," << y;
        EXPECT_EQ(Score, 5) << x << "," << y;
        EXPECT_EQ(label, (starts ? Colours{{64, 255, 64}} : Colours{{64, 64, 255}}));
    }
    FreeResources(Resources);
    Resources.clear(); // without the font nothing shows and a click does nothing
    EXPECT_FALSE(EngineRunning);
    EXPECT_TRUE(DrawMenu(100, 66).empty());
    EXPECT_EQ(GameState, gsJump);
}

} // namespace
