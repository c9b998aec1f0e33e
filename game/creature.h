// The player's creature: its state and the per-tick step of camera, sway, legs, jump and road.
// The creature never moves along the road; the world moves past it.
#pragma once

#include <cstdint>

extern float JumpHeight; // above the road; 0 at rest, at most 5.25 in a jump, falls while sinking
// Change of JumpHeight per tick: 0 on the ground, 0.25 rising, -0.25 coming down, -0.5 sinking.
extern float JumpSpeed;
extern bool Sinking;      // fell into water; never lands again until a new game
extern int32_t LegPhaseA; // walking phases 0 to 29 of the two leg groups
extern int32_t LegPhaseB;
extern float RoadScroll; // texture offset of the road, 0 to 1
extern float CameraYaw;  // degrees, unbounded
extern float SwayAngle;  // degrees, -30 to 30
extern float SwaySpeed;  // -1 to 1
extern float LanePos;    // sideways, -10 to 10; the two lanes are at -10 and 10
extern float LaneSpeed;  // 0, 0.25 or -0.25

// One tick of the snakes (retargeted by `now`, a GetTickCount value), camera, sway, legs, jump
// and road.
void UpdateCreature(uint32_t now);
// One tick of the sideways motion; stops at either lane.
void UpdateLane();
