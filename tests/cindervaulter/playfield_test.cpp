// The playfield drawing, read back from the engine's 800 x 600 frame: the interpolated body, its
// flashes, the scrolling background, the walls and the minimap in the frame's corner.
#include "engine.h"
#include "game.h"
#include "map.h"
#include "offscreen_gl.h"
#include "render/particles.h"
#include "render/playfield.h"
#include "rules.h"
#include "run_program.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

// Pixels are read in frame coordinates, (0, 0) top left as the game draws.
std::vector<uint8_t> FramePixel(int x, int y) {
    return ReadPixelsRGBA(x, 599 - y, 1, 1);
}

bool Lit(int x, int y) {
    std::vector<uint8_t> p = FramePixel(x, y);
    return p[0] + p[1] + p[2] > 60;
}

// A bound engine with its frame and textures, and an empty level with the body hanging at
// (400, 200) before a camera at the origin.
class PlayfieldTest : public testing::Test {
  protected:
    void SetUp() override {
        Dir = MakeScratchDir("playfield");
        ASSERT_TRUE(BindEngine((Dir + "/log.txt").c_str()));
        ASSERT_TRUE(Window->SetMode(false, 800, 600, 32, 75));
        GameInit();
        ResetLevel();
        ReserveParticles(World, 10);
        CreatePlayer(400, 200);
        ExitPoint = VecMake(5000, 5000, 0);
        Camera = TCamera{};
        ElapsedTime = 0;
        PlayerSpeed = 0;
        Randomize(1);
        PlayerUpdate();
        Clear();
    }
    void TearDown() override {
        ResetLevel();
        ReleaseEngine();
        std::filesystem::remove_all(Dir);
    }
    void Clear() {
        glClear(GL_COLOR_BUFFER_BIT);
        glViewport(0, 0, 800, 600);
        Render->Set2D(0, 0, 800, 600);
    }
    std::string Dir;
};

TEST_F(PlayfieldTest, TheBodyIsDrawnBetweenItsLastTwoPositions) {
    for (int32_t p : {Player.A, Player.B, Player.C})
        World.Positions[p] = VecAdd(World.PrevPositions[p], VecMake(200, 0, 0));
    // The head's green centre: at the previous position right after a step, a period later at
    // the current one, and halfway between them halfway through.
    for (float alpha : {0.0f, 0.5f, 1.0f}) {
        ElapsedTime = alpha * 1000 / 30;
        Clear();
        DrawPlayer();
        for (int x : {400, 500, 600})
            EXPECT_EQ(FramePixel(x, 200)[1] == 255, x == 400 + int(alpha * 200))
                << "alpha " << alpha << " x " << x;
    }
}

TEST_F(PlayfieldTest, OnlyAFastBodyCrackles) {
    // Between the head's sprite (to 220) and the middle's (from 237) only the body flashes draw.
    for (float speed : {0.5f, 1.0f, 1.5f}) {
        PlayerSpeed = speed;
        Clear();
        DrawPlayer();
        EXPECT_EQ(Lit(400, 228), speed > 1) << "speed " << speed;
        EXPECT_TRUE(Lit(400, 190)) << "the radiating flashes and the head always draw";
    }
}

TEST_F(PlayfieldTest, SparksRunOnAlongTheirVelocityAfterAStep) {
    SpawnSparks(1, 0, 1, 0, 0, 0);
    TSpark& spark = *SparkList.Next;
    spark.X = 300;
    spark.Y = 400;
    spark.VX = 20;
    Camera.DrawX = 100;
    // 100 ms after the step is three steps on: 60 units right, less the camera's 100.
    LastUpdateTime = float(Engine->GetTime() - 100);
    DrawSparks();
    EXPECT_EQ(FramePixel(260, 400)[1], 255) << "the exit's green spark, its bright centre";
    EXPECT_FALSE(Lit(200, 400)) << "not where it was";
}

TEST(Background, ShiftsByTheRemainderOfTheTruncatedCornerWithItsSign) {
    EXPECT_EQ(TileShift(880, 800, 80), 1);
    EXPECT_EQ(TileShift(-80, 800, 80), -1);
    EXPECT_EQ(TileShift(-879.9f, 800, 80), -79 / 80.0f);
    EXPECT_EQ(TileShift(1230, 600, 60), 0.5f);
    EXPECT_TRUE(std::isfinite(TileShift(1e30f, 800, 80)));
}

// Lit pixels of the minimap's inside that are not the body or the exit marker.
int MinimapStrayPixels() {
    int stray = 0;
    for (int y = 503; y < 597; ++y)
        for (int x = 703; x < 797; ++x) {
            const bool body = std::abs(x - 750) <= 3 && y >= 546 && y <= 559;
            const bool exit = std::abs(x - 760) <= 3 && std::abs(y - 550) <= 3;
            stray += Lit(x, y) && !body && !exit;
        }
    return stray;
}

TEST_F(PlayfieldTest, TheMinimapSitsInTheCornerAndShowsWallsWithin2000OfTheHead) {
    ExitPoint = VecMake(600, 200, 0); // 10 minimap pixels right of the head
    EXPECT_EQ(CounterText(), "0/0");
    DrawMinimap();
    EXPECT_TRUE(Lit(700, 550)) << "the border along the corner's edges";
    EXPECT_TRUE(Lit(750, 500)) << "the border along the corner's edges";
    EXPECT_FALSE(Lit(698, 550)) << "nothing outside the corner";
    EXPECT_FALSE(Lit(750, 498)) << "nothing outside the corner";
    EXPECT_TRUE(Lit(750, 550)) << "the head at the centre";
    EXPECT_TRUE(Lit(760, 550)) << "the exit";
    EXPECT_EQ(MinimapStrayPixels(), 0);

    // A wall 2500 units right of the head: on the playfield with the camera over it, not on the
    // minimap; one 600 units left of it is.
    Walls.push_back(MakeWall(VecMake(2900, 0, 0), VecMake(2900, 400, 0), VecMake(-1, 0, 0)));
    Camera.DrawX = 2500;
    Clear();
    DrawWalls();
    EXPECT_TRUE(Lit(400, 200));
    Clear();
    DrawMinimap();
    EXPECT_EQ(MinimapStrayPixels(), 0);
    Walls.push_back(MakeWall(VecMake(-200, 0, 0), VecMake(-200, 400, 0), VecMake(1, 0, 0)));
    Clear();
    DrawMinimap();
    EXPECT_TRUE(Lit(720, 545)) << "30 minimap pixels left of the head";
    EXPECT_TRUE(Lit(720, 555)) << "30 minimap pixels left of the head";
}

} // namespace
