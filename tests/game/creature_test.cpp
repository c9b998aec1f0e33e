// The creature's tick: the jump's arc, the lane change, the legs, the camera, sway and road.
#include "creature.h"
#include "engine/engine.h"
#include "modes.h"

#include <gtest/gtest.h>

// A jump is airborne 43 ticks counting the one that started it and peaks at 5.25; a lane change
// from -10 reaches 10 in 80 ticks and stops on the 81st.
TEST(Creature, JumpsAndChangesLaneInTheirTicks) {
    JumpSpeed = 0.25f;
    int airborne = 1;
    float peak = 0;
    for (UpdateCreature(0); JumpSpeed != 0 && airborne < 100; UpdateCreature(0))
        ++airborne, peak = std::max(peak, JumpHeight);
    EXPECT_TRUE(airborne == 43 && peak == 5.25f && JumpHeight == 0) << airborne << " " << peak;
    LanePos = -10, LaneSpeed = 0.25f;
    for (int i = 0; i < 80; ++i) UpdateLane();
    EXPECT_TRUE(LanePos == 10 && LaneSpeed == 0.25f);
    UpdateLane();
    EXPECT_TRUE(LanePos == 10 && LaneSpeed == 0);
}

// Coming down and sinking freeze the legs; a halted creature walks on to phase 7 or 22 and stands
// while the road stays put.
TEST(Creature, LegsFreezeWhileFallingAndStandWhenHalted) {
    LegPhaseA = 12;
    for (float speed : {-0.25f, -0.5f}) {
        JumpHeight = 3, JumpSpeed = speed, Sinking = Stopped = speed < -0.25f;
        UpdateCreature(0);
        EXPECT_TRUE(LegPhaseA == 12 && JumpHeight == 3 + speed) << speed;
    }
    JumpHeight = JumpSpeed = RoadScroll = 0, LegPhaseA = 0, LegPhaseB = 10;
    for (int i = 0; i < 40; ++i) UpdateCreature(0);
    EXPECT_TRUE(LegPhaseA == 7 && LegPhaseB == 22 && RoadScroll == 0);
}

// Over a long seeded run with both arrows held the camera stays put while sway and road keep in
// range; one arrow then turns it.
TEST(Creature, ArrowsCancelAndSwayAndRoadStayInRange) {
    SeedRandom(3);
    Keys[VK_LEFT] = Keys[VK_RIGHT] = true;
    for (int i = 0; i < 100000; ++i) {
        UpdateCreature(static_cast<uint32_t>(i * 10));
        ASSERT_TRUE(SwayAngle >= -30 && SwayAngle <= 30 && SwaySpeed >= -1 && SwaySpeed <= 1 &&
                    RoadScroll >= 0 && RoadScroll <= 1 && CameraYaw == 0);
    }
    Keys[VK_RIGHT] = false;
    UpdateCreature(0);
    EXPECT_EQ(CameraYaw, 1);
}
