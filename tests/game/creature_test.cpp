// The creature's tick: the jump's arc, the lane change, the legs while falling or halted, the
// camera keys, and the sway and road staying in range.
#include "creature.h"
#include "engine/engine.h"
#include "modes.h"

#include <gtest/gtest.h>

namespace {

void Reset() {
    JumpHeight = JumpSpeed = RoadScroll = CameraYaw = SwayAngle = SwaySpeed = LanePos = 0;
    LaneSpeed = 0;
    LegPhaseA = LegPhaseB = 0;
    Sinking = Stopped = Keys[VK_LEFT] = Keys[VK_RIGHT] = false;
    SeedRandom(3);
}

} // namespace

TEST(Creature, JumpsFor43TicksPeakingAt525) {
    Reset();
    JumpSpeed = 0.25f;
    int airborne = 1; // the tick that started the jump
    float peak = 0;
    for (UpdateCreature(0); JumpSpeed != 0 && airborne < 100; UpdateCreature(0)) {
        ++airborne;
        peak = std::max(peak, JumpHeight);
    }
    EXPECT_EQ(airborne, 43);
    EXPECT_EQ(peak, 5.25f);
    EXPECT_EQ(JumpHeight, 0);
}

TEST(Creature, ChangesLaneIn80TicksAndStopsOnThe81st) {
    Reset();
    LanePos = -10;
    LaneSpeed = 0.25f;
    for (int i = 0; i < 80; ++i) UpdateLane();
    EXPECT_EQ(LanePos, 10);
    EXPECT_EQ(LaneSpeed, 0.25f);
    UpdateLane();
    EXPECT_EQ(LanePos, 10);
    EXPECT_EQ(LaneSpeed, 0);
}

// Coming down and sinking freeze the legs; a halted creature walks on to phase 7 or 22 and stands
// while the road stays put.
TEST(Creature, LegsFreezeWhileFallingAndStandWhenHalted) {
    Reset();
    LegPhaseA = 12;
    JumpHeight = 3;
    for (float speed : {-0.25f, -0.5f}) {
        JumpSpeed = speed;
        Sinking = Stopped = speed < -0.25f;
        float height = JumpHeight;
        UpdateCreature(0);
        EXPECT_EQ(LegPhaseA, 12);
        EXPECT_EQ(JumpHeight, height + speed);
    }
    Reset();
    Stopped = true;
    LegPhaseB = 10;
    for (int i = 0; i < 40; ++i) UpdateCreature(0);
    EXPECT_EQ(LegPhaseA, 7);
    EXPECT_EQ(LegPhaseB, 22);
    EXPECT_EQ(RoadScroll, 0);
}

TEST(Creature, BothArrowsCancel) {
    Reset();
    Keys[VK_LEFT] = Keys[VK_RIGHT] = true;
    UpdateCreature(0);
    EXPECT_EQ(CameraYaw, 0);
    Keys[VK_RIGHT] = false;
    UpdateCreature(0);
    EXPECT_EQ(CameraYaw, 1);
}

TEST(Creature, SwayAndRoadStayInRange) {
    Reset();
    for (int i = 0; i < 100000; ++i) {
        UpdateCreature(static_cast<uint32_t>(i * 10));
        ASSERT_TRUE(SwayAngle >= -30 && SwayAngle <= 30 && SwaySpeed >= -1 && SwaySpeed <= 1);
        ASSERT_TRUE(RoadScroll >= 0 && RoadScroll <= 1);
    }
}
