// The rules driven tick by tick on the test's own clock, and the menu drawn offscreen.
#include "modes.h"

#include "creature.h"
#include "offscreen_gl.h"
#include "startup.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <array>
#include <set>

namespace {

uint32_t Now = 0;

void Tick(int ticks) {
    for (int i = 0; i < ticks; ++i, Now += 10) UpdateGame();
}

// A game in the mode past its splash: obstacle 0 as given, the others far away and far apart.
void Start(TGameState mode, float lane, TObstacle first, bool space = false) {
    SeedRandom(7);
    TickSource = [] { return Now; };
    StartTick = 0;
    Now = 5000;
    NewGame(mode);
    LanePos = lane;
    for (size_t i = 1; i < Obstacles.size(); ++i) Obstacles[i] = {200 + 30.0f * i, 1};
    Obstacles[0] = first;
    std::fill(std::begin(Keys), std::end(Keys), false);
    Keys[VK_SPACE] = space;
}

TEST(Rules, TheSplashHolds2000MsThenAJumpGameStartsByItself) {
    TickSource = [] { return Now; };
    StartTick = 0xFFFFFC18; // the counter wraps 1000 ms into the splash
    GameState = gsMove;
    Score = 9;
    for (Now = StartTick; Now - StartTick < 2000; Now += 10) {
        UpdateGame();
        ASSERT_EQ(GameState, gsSplash) << Now - StartTick;
    }
    UpdateGame();
    EXPECT_EQ(GameState, gsStart);
    UpdateGame();
    EXPECT_EQ(GameState, gsJump);
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(Obstacles.size(), 7u);
}

// Obstacle 0 starts 5 ahead: alongside from its first advance, for 17 ticks of the 20 run.
TEST(Rules, ContactsFallBounceAndPassInEachMode) {
    struct Case {
        const char* Name;
        TGameState Mode;
        float Lane;
        TObstacle First;
        bool Space, SpaceKept, Sinks;
        int32_t Score;
        float Distance, Offset; // of obstacle 0 after the run
    } cases[] = {
        {"jump pad", gsJump, 0, {5, 2}, false, false, false, 50 + 16, -7, 0},
        {"jump water", gsJump, 0, {5, 1}, false, false, true, 0, 4.4f, 0},
        {"move, other lane", gsMove, -10, {5, 3}, false, false, false, 17, -7, 0},
        {"move, own lane water", gsMove, 10, {5, 3}, false, false, true, 0, 4.4f, 0},
        {"move, own lane pad", gsMove, 10, {5, 4}, true, false, false, 50 + 16, -7, 0},
        {"stop, halted, pad sweeps in", gsStop, 0, {0, 2, -6, 0.25f}, true, true, false, 50, 0, -1},
        // Halves round to even: alongside from -5.5 to below 4.5, the middle covered above -4.5
        // up to 5.5.
        {"stop, 4.5 ahead", gsStop, 0, {4.5f, 2}, true, true, false, 0, 4.5f, 0},
        {"stop, 5.5 behind", gsStop, 0, {-5.5f, 2}, true, true, false, 50, -5.5f, 0},
        {"stop, offset -4.5", gsStop, 0, {0, 2, -4.5f}, true, true, false, 0, 0, -4.5f},
        {"stop, offset 5.5", gsStop, 0, {0, 2, 5.5f}, true, true, false, 50, 0, 5.5f},
    };
    for (const Case& c : cases) {
        Start(c.Mode, c.Lane, c.First, c.Space);
        Tick(20);
        EXPECT_EQ(Score, c.Score) << c.Name;
        EXPECT_EQ(Sinking, c.Sinks) << c.Name;
        EXPECT_EQ(JumpHeight < 0, c.Sinks) << c.Name;
        EXPECT_EQ(Keys[VK_SPACE], c.SpaceKept) << c.Name;
        EXPECT_NEAR(Obstacles[0].Distance, c.Distance, 1e-3) << c.Name;
        EXPECT_NEAR(Obstacles[0].Offset, c.Offset, 1e-6) << c.Name;
    }
}

TEST(Rules, SpacingSendsTheLowerIndexBackToRespawnAhead) {
    struct Case {
        TGameState Mode;
        uint8_t SecondKind;
        float Third; // 125: always within 25 of the respawned obstacle
        float FirstAfterOne, FirstAfterTwoMin, FirstAfterTwoMax;
    } cases[] = {{gsJump, 1, 400, -100, 100, 149},
                 {gsJump, 1, 125, -100, -100, -100},
                 {gsMove, 3, 400, 49.4f, 48.8f, 48.8f}};
    for (const Case& c : cases) {
        Start(c.Mode, -10, {50, 1});
        Obstacles[1] = {60.6f, c.SecondKind};
        Obstacles[2] = {c.Third, 1};
        Tick(1);
        EXPECT_NEAR(Obstacles[0].Distance, c.FirstAfterOne, 1e-3) << c.Third;
        EXPECT_NEAR(Obstacles[1].Distance, 60, 1e-3);
        Tick(1);
        EXPECT_GE(Obstacles[0].Distance, c.FirstAfterTwoMin - 1e-3) << c.Third;
        EXPECT_LE(Obstacles[0].Distance, c.FirstAfterTwoMax + 1e-3) << c.Third;
    }
}

using Colours = std::set<std::array<uint8_t, 3>>;
const Colours Hovered{{64, 255, 64}}, Plain{{64, 64, 255}}, White{{255, 255, 255}}, None;

// The colours drawn inside a rectangle of the 800 by 600 space.
Colours Ink(int left, int top, int right, int bottom) {
    std::vector<uint8_t> rgba = ReadPixelsRGBA(left, 600 - bottom, right - left, bottom - top);
    Colours found;
    for (size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] || rgba[i + 1] || rgba[i + 2])
            found.insert({rgba[i], rgba[i + 1], rgba[i + 2]});
    return found;
}

void DrawMenu(int32_t x, int32_t y) {
    MousePos = {x, y};
    BeginFrame();
    SetProjection(false);
    DrawHudAndMenu();
}

class Menu : public testing::Test {
  protected:
    void SetUp() override {
        ScreenSettings = {800, 600, 800, 600, 32, 0, false};
        ASSERT_TRUE(InitEngine("Game", ScreenSettings));
        TFileNameList font{{"font", GAME_RUN_DIR "/Resources/font.ttf", 12, 0, 700}};
        ASSERT_TRUE(LoadResources(font, Resources, nullptr));
        std::fill(std::begin(Keys), std::end(Keys), false);
        glReadBuffer(GL_BACK);
    }
    void TearDown() override { FreeResources(Resources); }
};

TEST_F(Menu, ShowsTheHoveredButtonGreenAndTheOthersBlue) {
    DrawMenu(30, 40);
    EXPECT_EQ(Ink(24, 36, 162, 48), Hovered);
    EXPECT_EQ(Ink(24, 60, 162, 72), Plain);
    EXPECT_EQ(Ink(24, 84, 162, 96), Plain);
    EXPECT_EQ(Ink(24, 108, 68, 120), Plain);
    EXPECT_EQ(Ink(24, 132, 300, 192), White); // the score and the hints
}

TEST_F(Menu, AClickInsideNewMoveStartsOneGameAtAnyWindowSize) {
    struct Case {
        int32_t Width, X, Y;
        bool Starts;
    } cases[] = {{800, 100, 66, true},   {800, 24, 60, true},    {800, 100, 72, false},
                 {800, 162, 66, false},  {1600, 200, 132, true}, {1600, 200, 144, false},
                 {1600, 321, 132, true}, {1600, 323, 132, false}}; // 160.5 and 161.5 round to even
    for (const Case& c : cases) {
        ScreenSettings.Width = c.Width;
        ScreenSettings.Height = c.Width * 3 / 4;
        GameState = gsJump;
        Keys[VK_LBUTTON] = true;
        DrawMenu(c.X, c.Y);
        EXPECT_EQ(GameState, c.Starts ? gsMove : gsJump) << c.X << "," << c.Y;
        EXPECT_EQ(Keys[VK_LBUTTON], !c.Starts);
        Score = 5; // the button is still down, but its press was taken
        DrawMenu(c.X, c.Y);
        EXPECT_EQ(Score, 5);
    }
}

TEST_F(Menu, ExitStopsTheEngineAndWithoutTheFontNothingShowsOrClicks) {
    Keys[VK_LBUTTON] = true;
    DrawMenu(30, 114);
    EXPECT_FALSE(EngineRunning);
    FreeResources(Resources);
    Resources.clear();
    GameState = gsJump;
    DrawMenu(100, 66);
    EXPECT_EQ(GameState, gsJump);
    EXPECT_EQ(Ink(0, 0, 400, 200), None);
}

} // namespace
