// The creature's per-tick step.
#include "creature.h"

#include "engine/engine.h"
#include "modes.h"
#include "vorm/vorm.h"

#include <algorithm>

float JumpHeight = 0;
float JumpSpeed = 0;
bool Sinking = false;
int32_t LegPhaseA = 0;
int32_t LegPhaseB = 0;
float RoadScroll = 0;
float CameraYaw = 0;
float SwayAngle = 0;
float SwaySpeed = 0;
float LanePos = 0;
float LaneSpeed = 0;

namespace {

void TurnCamera() {
    if (Keys[VK_LEFT]) CameraYaw += 1;
    if (Keys[VK_RIGHT]) CameraYaw -= 1;
}

// A random walk of the sway speed, (a - b) / 100 with a and b from 0 to 9; at either limit the
// angle stops and bounces back at half the speed.
void Sway() {
    int32_t a = Random(10);
    int32_t b = Random(10);
    SwaySpeed = std::clamp(static_cast<float>(SwaySpeed + (a - b) / 100.0), -1.0f, 1.0f);
    SwayAngle += SwaySpeed;
    if (SwayAngle > 30) {
        SwayAngle = 30;
        SwaySpeed = -SwaySpeed / 2;
    }
    if (SwayAngle < -30) {
        SwayAngle = -30;
        SwaySpeed = -SwaySpeed / 2;
    }
}

// A halted creature walks on to the near-neutral pose of phase 7 or 22 and stands there.
int32_t NextLegPhase(int32_t phase) {
    if (Stopped && phase % 15 == 7) return phase;
    return (phase + 1) % 30;
}

// The legs freeze while coming down and while sinking.
void Walk() {
    if (JumpSpeed < 0) return;
    LegPhaseA = NextLegPhase(LegPhaseA);
    LegPhaseB = NextLegPhase(LegPhaseB);
}

// Rises by 0.25 to above 5 (5.25), turns, and lands when it passes below the road, unless sinking.
void Jump() {
    if (JumpSpeed == 0) return;
    JumpHeight += JumpSpeed;
    if (JumpHeight > 5) JumpSpeed = -JumpSpeed;
    if (JumpHeight < 0 && !Sinking) {
        JumpHeight = 0;
        JumpSpeed = 0;
    }
}

// 0.015 of a texture repeat per tick: 0.6 units of the 1000-unit road with 25 repeats.
void ScrollRoad() {
    if (Stopped) return;
    RoadScroll = static_cast<float>(RoadScroll + 0.015);
    if (RoadScroll > 1) RoadScroll -= 1;
}

} // namespace

void UpdateCreature(uint32_t now) {
    UpdateVorms();
    RetargetVorms(now);
    TurnCamera();
    Sway();
    Walk();
    Jump();
    ScrollRoad();
}

void UpdateLane() {
    LanePos += LaneSpeed;
    if (LanePos < -10) {
        LanePos = -10;
        LaneSpeed = 0;
    }
    if (LanePos > 10) {
        LanePos = 10;
        LaneSpeed = 0;
    }
}
