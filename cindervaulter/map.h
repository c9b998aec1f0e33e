// The level built from a map file and the player's body: what the physics collides.
#pragma once

#include "physics/physics.h"

#include <vector>

extern std::vector<TWall> Walls;     // the map's walls, then the four walls around the arena
extern std::vector<TCircle> Circles; // the collision circles of the player's body
