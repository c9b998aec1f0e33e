// The map loader on any bytes: it either builds a whole level from records the bytes hold, or
// loads nothing and leaves the level empty.
#include "map.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bool loaded = LoadMapBytes(data, size);
    if (!loaded) {
        if (!Walls.empty() || !Circles.empty() || !Pickups.empty() || World.ParticleCount != 0)
            std::abort();
        return 0;
    }
    if (Walls.size() < 4 || Circles.size() != 3 || World.ParticleCount != 3 || CollectedCount != 0)
        std::abort();
    // Every wall but the arena's four and every pickup came from records the bytes hold.
    if (28 + 16 * (Walls.size() - 4) + 12 * Pickups.size() > size) std::abort();
    for (const TPickup& pickup : Pickups)
        if (!pickup.Active) std::abort();
    return 0;
}
