#include "physics/utilite.h"

#include <cmath>

float ArcCosine(float x) {
    return float(std::atan2(std::sqrt((1.0 + x) * (1.0 - x)), double(x)));
}

float RadiansToDegrees(float r) {
    return float(r * 57.29577951308232);
}

float HeadingDegrees(TVec3 a, TVec3 b) {
    TVec3 d = VecSub(b, a);
    float length = Distance2D(a, b);
    // Two points in one place have no direction between them.
    if (length == 0) return 0;
    float h = RadiansToDegrees(ArcCosine(-d.y / length));
    if (d.x < 0) h = 360 - h;
    return h;
}
