// The play itself: the player's three-particle body pushed by Up, pickups, the exit and the next
// map, the camera follow, the guide arrow and the flashes crackling along the body.
#pragma once

#include "physics/physics.h"

#include <array>
#include <cstdint>
#include <vector>

// One jagged line from a start point to an end point.
struct TFlash {
    std::vector<float> Offsets; // sideways displacement of each interior point
    float Step = 0;             // spacing of the points along the line
    TVec3 Direction;            // unit, start to end
    TVec3 Normal;               // unit, across the line
    TVec3 EndPoint;             // the flash's own end, used when OwnEnd
    int32_t StartRef = 0;       // the line starts at this World particle's previous position
    int32_t EndRef = 0;         // and ends at this one's, unless OwnEnd
    bool OwnEnd = false;
};

struct TPlayer {
    int32_t A = 0; // the body's particles in World, head first: B = A + 1, C = A + 2
    int32_t B = 0;
    int32_t C = 0;
    int32_t Head = 0;        // equal to A
    int32_t CircleIndex = 0; // the head's circle in Circles; B's and C's follow it
    // 0 and 1 run from A to B, 2 and 3 from C to B, 4 to 11 radiate from A.
    std::array<TFlash, 12> Flashes;
    float OrbitAngle = 0; // radians, the turn of the radiating flashes; kept across maps
    bool OrbitIncreasing = false;
};

extern TPlayer Player;
extern float PlayerSpeed;  // mean distance the body's particles moved in the latest step
extern float ArrowHeading; // degrees, 0 up, clockwise

// Whether every pickup of the map is collected, so the exit works.
bool ExitOpen();
// Where a flash starts and ends now: World's previous positions, or its own end point.
TVec3 FlashStart(const TFlash& flash);
TVec3 FlashEnd(const TFlash& flash);

// Builds the body hanging head up from (X, Y) as the first particles of World.
void CreatePlayer(float X, float Y);
// Appends to Circles; returns the new index.
int32_t AddCircle(const TCircle& circle);
// One play step. Esc completes the step, then leaves for the pause menu.
void GameUpdate();
void PlayerUpdate();
// Loads the next map once every pickup is collected; past the last map, map 1.
void ExitReached();
void CameraUpdate();
void ArrowUpdate();
// New random offsets for the flash, their spread growing with amplitude; a flash shorter than
// twice its Step keeps its last shape.
void FlashUpdate(TFlash& flash, float amplitude);
