#include "map.h"

std::vector<TWall> Walls;
std::vector<TCircle> Circles;
