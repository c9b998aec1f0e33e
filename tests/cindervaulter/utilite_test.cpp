#include "physics/utilite.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Angles, ArcCosineAndDegrees) {
    EXPECT_FLOAT_EQ(ArcCosine(1), 0);
    EXPECT_FLOAT_EQ(ArcCosine(-1), float(M_PI));
    EXPECT_FLOAT_EQ(ArcCosine(0.5f), float(M_PI / 3));
    EXPECT_FLOAT_EQ(RadiansToDegrees(float(M_PI)), 180);
}

TEST(Angles, HeadingIsClockwiseFromUpAndFinite) {
    TVec3 origin = VecMake(0, 0, 0);
    EXPECT_FLOAT_EQ(HeadingDegrees(origin, VecMake(0, -5, 0)), 0);
    EXPECT_FLOAT_EQ(HeadingDegrees(origin, VecMake(5, 0, 0)), 90);
    EXPECT_FLOAT_EQ(HeadingDegrees(origin, VecMake(0, 5, 0)), 180);
    EXPECT_FLOAT_EQ(HeadingDegrees(origin, VecMake(-5, 0, 0)), 270);
    EXPECT_FLOAT_EQ(HeadingDegrees(VecMake(10, 10, 0), VecMake(7, 13, 99)), 225);
    EXPECT_EQ(HeadingDegrees(VecMake(4, 4, 0), VecMake(4, 4, 0)), 0); // one point: no direction
    for (int i = 0; i < 360; i++) {
        double angle = i * M_PI / 180;
        TVec3 b = VecMake(float(1e4 * std::sin(angle)), float(-1e4 * std::cos(angle)), 0);
        EXPECT_NEAR(HeadingDegrees(origin, b), i, 1e-2) << i;
    }
    float nearlyUp = HeadingDegrees(origin, VecMake(-1e-3f, -1000, 0));
    EXPECT_GT(nearlyUp, 359.99f);
    EXPECT_LE(nearlyUp, 360);
}
