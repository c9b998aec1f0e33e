// The background snakes: steering with halves to even, the speed cap, the once-a-second targets
// with a wrapping clock, and the trail's colours drawn offscreen.
#include "engine/engine.h"
#include "offscreen_gl.h"
#include "vorm/vorm.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

// Distance to target, inertia and speed before one tick; the speed after it.
TEST(Vorm, SteersWithHalvesToEvenAndCapsTheSpeed) {
    struct Case {
        int32_t Distance, Inertia, Speed, Expected;
    } cases[] = {{0, 100, 0, -1},    {0, 100, -10, -10},  {50, 100, 3, 3},   {150, 100, 3, 5},
                 {250, 100, 3, 5},   {-150, 100, 3, 1},   {-250, 100, 3, 1}, {-50, 100, 9, 9},
                 {1000, 100, 9, 10}, {-1000, 100, 9, -1}, {149, 100, 3, 4},  {-1600, 100, 5, -10}};
    for (const Case& c : cases) {
        TVorm vorm;
        vorm.PointCount = 10;
        vorm.MaxSpeed = 10;
        vorm.Inertia = c.Inertia;
        vorm.X.fill(100);
        vorm.TargetX = 100 + c.Distance;
        vorm.SpeedX = c.Speed;
        vorm.Update();
        EXPECT_EQ(vorm.SpeedX, c.Expected) << c.Distance << " " << c.Speed;
        EXPECT_EQ(vorm.X[1], 100 + c.Expected);
        EXPECT_EQ(vorm.X[2], vorm.X[1]); // the trail follows the moved head
        EXPECT_EQ(vorm.X[3], 100);
    }
}

// Over a long seeded run from a clock about to wrap: every snake starts as one dot, no head moves
// more than its limit per axis, snake 0 keeps (0, 0) and the others get new targets exactly when
// more than 1000 ms have passed (every 101 ticks of 10 ms), the first call at once.
TEST(Vorm, MovesWithinTheLimitAndRetargetsOnceASecond) {
    SeedRandom(7);
    CreateVorms(800, 600);
    for (const auto& vorm : Vorms) {
        EXPECT_TRUE(vorm->MaxSpeed >= 7 && vorm->MaxSpeed <= 10 && vorm->Inertia > 80 &&
                    vorm->Inertia <= 160 && vorm->Color > 0xFF0000u - 63 &&
                    vorm->Color <= 0xFF0000u);
        EXPECT_TRUE(vorm->X[1] >= 0 && vorm->X[1] < 800 && vorm->Y[1] >= 0 && vorm->Y[1] < 600);
        for (int i = 2; i <= 10; ++i)
            EXPECT_TRUE(vorm->X[i] == vorm->X[1] && vorm->Y[i] == vorm->Y[1]);
    }
    LastRetargetTick = 0;
    uint32_t now = 0xFFFFF000u;
    for (int tick = 0; tick < 5000; ++tick, now += 10) {
        TVorm before = *Vorms[7];
        UpdateVorms();
        for (const auto& vorm : Vorms)
            ASSERT_TRUE(std::abs(vorm->X[1] - vorm->X[3]) <= vorm->MaxSpeed &&
                        std::abs(vorm->Y[1] - vorm->Y[3]) <= vorm->MaxSpeed);
        RetargetVorms(now);
        bool retargeted =
            Vorms[7]->TargetX != before.TargetX || Vorms[7]->TargetY != before.TargetY;
        EXPECT_EQ(retargeted, tick % 101 == 0) << tick;
        EXPECT_TRUE(Vorms[0]->TargetX == 0 && Vorms[0]->TargetY == 0);
    }
    FreeVorms();
}

TEST(Vorm, TrailFadesFromNearWhiteToYellow) {
    TScreenSettings screen{800, 600, 800, 600, 32, 0, false};
    ASSERT_TRUE(InitEngine("Game", screen));
    SetProjection(false);
    TVorm vorm;
    vorm.PointCount = 10;
    vorm.Color = 0xFF0000;
    for (int i = 1; i <= 10; ++i) vorm.X[i] = 20 + 80 * (i - 1), vorm.Y[i] = 300;
    glClear(GL_COLOR_BUFFER_BIT);
    vorm.Draw();
    glFinish();
    // Just past point 2 and just before point 10, where each segment's colour is its end's; the
    // line on the pixel boundary at y 300 may light the row on either side.
    auto shown = [](int x) {
        std::vector<uint8_t> rows = ReadPixelsRGBA(x, 299, 1, 2);
        int lit = rows[0] ? 0 : 4;
        return std::vector<int>{rows[lit], rows[lit + 1], rows[lit + 2]};
    };
    EXPECT_EQ(shown(vorm.X[2] + 1), (std::vector<int>{254, 255, 236}));
    EXPECT_EQ(shown(vorm.X[10] - 2), (std::vector<int>{254, 255, 156}));
}
