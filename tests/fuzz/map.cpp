// The map loader on any bytes: it either builds a whole level from records the bytes hold, or
// loads nothing and leaves the level empty.
#include "map.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!LoadMapBytes(data, size)) {
        if (!Walls.empty() || !Circles.empty() || !Pickups.empty() || World.ParticleCount != 0)
            std::abort();
        return 0;
    }
    // The arena's four walls and the body come on top of what the bytes hold.
    if (Walls.size() < 4 || Circles.size() != 3 || World.ParticleCount != 3 ||
        28 + 16 * (Walls.size() - 4) + 12 * Pickups.size() > size || CollectedCount != 0)
        std::abort();
    return 0;
}
