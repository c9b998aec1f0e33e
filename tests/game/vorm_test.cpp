// The background snakes: steering, the speed cap, targets on a wrapping clock, the trail's colours.
#include "engine/engine.h"
#include "offscreen_gl.h"
#include "vorm/vorm.h"

#include <GL/gl.h>
#include <algorithm>
#include <gtest/gtest.h>

// Distance to the target and speed before one tick, speed after it (inertia 100, limit 10).
TEST(Vorm, SteersWithHalvesToEvenAndCapsTheSpeed) {
    int32_t cases[][3] = {{0, 0, -1},  {0, -10, -10}, {50, 3, 3},     {149, 3, 4},
                          {150, 3, 5}, {250, 3, 5},   {-150, 3, 1},   {-250, 3, 1},
                          {-50, 9, 9}, {1000, 9, 10}, {-1600, 5, -10}};
    for (const auto& [distance, speed, expected] : cases) {
        TVorm vorm{10, 10, {}, {}, speed, 0, 0, 100, 100 + distance, 0};
        vorm.X.fill(100);
        vorm.Update();
        EXPECT_EQ(vorm.SpeedX, expected) << distance << " " << speed;
        EXPECT_EQ(vorm.X[1], 100 + expected);
        EXPECT_EQ(vorm.X[2], vorm.X[1]);
        EXPECT_EQ(vorm.X[3], 100);
    }
}

// From a clock about to wrap: each snake starts as one dot, no head moves more than its limit per
// axis, snake 0 keeps (0, 0) and the others get new targets at once, then every 101 ticks of 10 ms.
TEST(Vorm, MovesWithinTheLimitAndRetargetsOnceASecond) {
    SeedRandom(7);
    CreateVorms(800, 600);
    for (const auto& v : Vorms) {
        EXPECT_GE(v->X[1], 0);
        EXPECT_LT(v->X[1], 800);
        EXPECT_GE(v->Y[1], 0);
        EXPECT_LT(v->Y[1], 600);
        EXPECT_EQ(std::count(v->X.begin(), v->X.end(), v->X[1]), 10);
        EXPECT_EQ(std::count(v->Y.begin(), v->Y.end(), v->Y[1]), 10);
    }
    uint32_t now = 0xFFFFF000u;
    for (int tick = 0; tick < 5000; ++tick, now += 10) {
        int32_t target = Vorms[7]->TargetX * 1000 + Vorms[7]->TargetY;
        UpdateVorms();
        RetargetVorms(now);
        for (const auto& v : Vorms) {
            ASSERT_LE(std::abs(v->X[1] - v->X[3]), v->MaxSpeed);
            ASSERT_LE(std::abs(v->Y[1] - v->Y[3]), v->MaxSpeed);
        }
        EXPECT_EQ(Vorms[7]->TargetX * 1000 + Vorms[7]->TargetY != target, tick % 101 == 0) << tick;
        ASSERT_EQ(Vorms[0]->TargetX, 0);
        ASSERT_EQ(Vorms[0]->TargetY, 0);
    }
}

TEST(Vorm, TrailFadesFromNearWhiteToYellow) {
    ASSERT_TRUE(InitEngine("Game", {800, 600, 800, 600, 32, 0, false}));
    SetProjection(false);
    TVorm vorm{10, 10, {}, {0, 300, 300, 300, 300, 300, 300, 300, 300, 300, 300}, 0, 0, 0xFF0000};
    for (int i = 1; i <= 10; ++i) vorm.X[i] = 20 + 80 * (i - 1);
    vorm.Draw();
    // Just past point 2 and just before point 10, where a segment has its end's colour; a line on
    // the pixel boundary at y 300 may light the row on either side.
    for (auto [x, blue] : {std::pair{101, 236}, {738, 156}}) {
        std::vector<uint8_t> rows = ReadPixelsRGBA(x, 299, 1, 2);
        int lit = rows[0] ? 0 : 4;
        EXPECT_EQ(rows[lit], 254) << x;
        EXPECT_EQ(rows[lit + 1], 255) << x;
        EXPECT_EQ(rows[lit + 2], blue) << x;
    }
}
