// Small angle functions in single precision, and the game's one random generator.
#pragma once

#include "physics.h"

#include <cstdint>

float ArcCosine(float x); // radians, from atan2
float RadiansToDegrees(float r);
// The heading from a to b in degrees, 0 straight up on screen and growing clockwise, in [0, 360];
// 0 when the points coincide.
float HeadingDegrees(TVec3 a, TVec3 b);

// Seeds the game's one random generator.
void Randomize(uint32_t seed);
// A uniform integer in 0 .. n - 1; 0 when n is 0 or less.
int32_t Random(int32_t n);
