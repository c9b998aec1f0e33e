#include "utilite.h"

#include <cmath>
#include <random>

static std::mt19937 RandomGenerator;

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

void Randomize(uint32_t seed) {
    RandomGenerator.seed(seed);
}

int32_t Random(int32_t n) {
    if (n <= 0) return 0;
    return std::uniform_int_distribution<int32_t>(0, n - 1)(RandomGenerator);
}
