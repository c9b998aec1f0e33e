// The level: a map file of little-endian 32-bit integers read into walls, pickups, the start and
// the exit, with the player's body, the four arena walls and the playfield world built from it.
#pragma once

#include "physics/physics.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TPickup {
    TVec3 Position;
    bool Active = false; // not yet collected
};

extern int32_t MapScale;             // coordinate factor in tenths
extern TVec3 StartPoint;             // the player's start, scaled
extern TVec3 ExitPoint;              // scaled, z = 0
extern std::vector<TWall> Walls;     // the map's walls, then the four walls around the arena
extern std::vector<TPickup> Pickups; // their count is the level's PickupCount
extern std::vector<TCircle> Circles; // the collision circles of the player's body
extern int32_t CollectedCount;
// Loads tried so far, counted so that what surrounds the rules can tell a new map began.
extern int32_t MapLoadCount;

// Map files larger than this are refused: 65,536 walls is far beyond any level.
constexpr size_t MaxMapFileSize = 1 << 20;

// The file name of level `number`: "map" + number + ".map".
std::string MapFileName(int32_t number);
// Builds the level from "maps/" + name under the working directory. False, with the level left
// empty, when the file cannot be read or is not a whole map.
bool LoadMap(const std::string& name);
// LoadMap on the bytes of a file already read; more than MaxMapFileSize are refused as a file is.
bool LoadMapBytes(const uint8_t* data, size_t size);
// Removes the sparks and empties the walls, circles, pickups and World.
void ResetLevel();
TWall MakeWall(TVec3 A, TVec3 B, TVec3 Normal);
void AddWall(const TWall& wall);
