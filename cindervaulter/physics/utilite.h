// Small angle functions in single precision.
#pragma once

#include "physics/physics.h"

float ArcCosine(float x); // radians, from atan2
float RadiansToDegrees(float r);
// The heading from a to b in degrees, 0 straight up on screen and growing clockwise, in [0, 360];
// 0 when the points coincide.
float HeadingDegrees(TVec3 a, TVec3 b);
