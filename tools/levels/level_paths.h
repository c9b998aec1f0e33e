// Shortest ways around a level's walls on a grid over the arena, from every cell to one target:
// the solver scores its search by them and the human player model steers by them.
#pragma once

#include "physics/physics.h"

#include <cstdint>
#include <vector>

constexpr float PathCell = 6;         // world units per cell
constexpr float PathUnreached = 1e7f; // the distance of a cell the target cannot be reached from

struct DistanceField {
    int32_t Side = 0; // cells along each side of the arena
    std::vector<float> Distance;
};

// The fields of the level loaded now: one per pickup in list order, and one to the exit. A cell
// within a few units of a map wall is closed; the arena's sides are not walls of the grid.
struct LevelPaths {
    std::vector<DistanceField> ToPickup;
    DistanceField ToExit;
};
LevelPaths MakeLevelPaths();

// The distance along the grid from p to the field's target; PathUnreached when closed off.
float PathDistance(const DistanceField& field, TVec3 p);
// The unit direction in which the distance falls fastest from p, judged from the cells `reach`
// cells around it (so that one closed cell does not turn it); (0, 0) when nothing lies nearer.
TVec3 PathDirection(const DistanceField& field, TVec3 p, int32_t reach);
