// The creature's tick: the jump's arc, the lane change, the legs, the camera, sway and road.
#include "creature.h"
#include "engine/engine.h"
#include "modes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>

// The creature's state, the halts it reads and the held keys are globals: each case starts from
// a creature standing still on a moving road with no key held, whatever ran before it.
class Creature : public testing::Test {
  protected:
    void SetUp() override {
        JumpHeight = JumpSpeed = RoadScroll = CameraYaw = SwayAngle = SwaySpeed = 0;
        LanePos = LaneSpeed = 0;
        LegPhaseA = LegPhaseB = 0;
        Sinking = Stopped = false;
        std::fill(std::begin(Keys), std::end(Keys), false);
        SeedRandom(3);
    }
};

// A jump is airborne 43 ticks counting the one that started it and peaks at 5.25; a lane change
// from -10 reaches 10 in 80 ticks and stops on the 81st.
TEST_F(Creature, JumpsAndChangesLaneInTheirTicks) {
    JumpSpeed = 0.25f;
    int airborne = 1;
    float peak = 0;
    for (UpdateCreature(0); JumpSpeed != 0 && airborne < 100; UpdateCreature(0))
        ++airborne, peak = std::max(peak, JumpHeight);
    EXPECT_EQ(airborne, 43);
    EXPECT_EQ(peak, 5.25f);
    EXPECT_EQ(JumpHeight, 0);
    LanePos = -10, LaneSpeed = 0.25f;
    for (int i = 0; i < 80; ++i) UpdateLane();
    EXPECT_EQ(LanePos, 10);
    EXPECT_EQ(LaneSpeed, 0.25f);
    UpdateLane();
    EXPECT_EQ(LanePos, 10);
    EXPECT_EQ(LaneSpeed, 0);
}

// Coming down and sinking freeze the legs; a halted creature walks on to phase 7 or 22 and stands
// while the road stays put.
TEST_F(Creature, LegsFreezeWhileFallingAndStandWhenHalted) {
    LegPhaseA = 12;
    for (float speed : {-0.25f, -0.5f}) {
        JumpHeight = 3, JumpSpeed = speed, Sinking = Stopped = speed < -0.25f;
        UpdateCreature(0);
        EXPECT_EQ(LegPhaseA, 12) << speed;
        EXPECT_EQ(JumpHeight, 3 + speed) << speed;
    }
    JumpHeight = JumpSpeed = RoadScroll = 0, LegPhaseA = 0, LegPhaseB = 10;
    for (int i = 0; i < 40; ++i) UpdateCreature(0);
    EXPECT_EQ(LegPhaseA, 7);
    EXPECT_EQ(LegPhaseB, 22);
    EXPECT_EQ(RoadScroll, 0);
}

// Over a long seeded run with both arrows held the camera stays put while sway and road keep in
// range; one arrow then turns it.
TEST_F(Creature, ArrowsCancelAndSwayAndRoadStayInRange) {
    Keys[VK_LEFT] = Keys[VK_RIGHT] = true;
    for (int i = 0; i < 100000; ++i) {
        UpdateCreature(static_cast<uint32_t>(i * 10));
        ASSERT_LE(std::abs(SwayAngle), 30) << i;
        ASSERT_LE(std::abs(SwaySpeed), 1) << i;
        ASSERT_GE(RoadScroll, 0) << i;
        ASSERT_LE(RoadScroll, 1) << i;
        ASSERT_EQ(CameraYaw, 0) << i;
    }
    Keys[VK_RIGHT] = false;
    UpdateCreature(0);
    EXPECT_EQ(CameraYaw, 1);
}
