#include "map.h"

#include "game.h"
#include "render/particles.h"
#include "rules.h"

#include <filesystem>
#include <fstream>
#include <limits>

int32_t MapLoadCount = 0;
int32_t MapScale = 0;
TVec3 StartPoint;
TVec3 ExitPoint;
std::vector<TWall> Walls;
std::vector<TPickup> Pickups;
std::vector<TCircle> Circles;
int32_t CollectedCount = 0;

namespace {

// The file's integers one after another; every read past the end fails.
struct TMapReader {
    const uint8_t* Data;
    size_t Size;
    size_t Offset = 0;
    int32_t Scale = 10;
};

bool ReadInteger(TMapReader& reader, int32_t& value) {
    if (reader.Size - reader.Offset < 4) return false;
    const uint8_t* b = reader.Data + reader.Offset;
    value =
        int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
    reader.Offset += 4;
    return true;
}

// A coordinate v becomes v * Scale / 10. The product is a 32-bit integer in the file's terms; one
// that leaves 32 bits would wrap, so the file is refused instead.
bool ReadScaled(TMapReader& reader, float& value) {
    int32_t v;
    if (!ReadInteger(reader, v)) return false;
    const int64_t product = int64_t(v) * reader.Scale;
    if (product < std::numeric_limits<int32_t>::min() ||
        product > std::numeric_limits<int32_t>::max())
        return false;
    value = float(product) / 10;
    return true;
}

bool ReadPoint(TMapReader& reader, TVec3& point) {
    point = TVec3{};
    return ReadScaled(reader, point.x) && ReadScaled(reader, point.y);
}

// Whether the rest of the file holds `count` records of `size` bytes; checked before sizing a
// list, so no count makes more room than the file can fill.
bool Holds(const TMapReader& reader, int32_t count, size_t size) {
    return count >= 0 && uint64_t(count) * size <= reader.Size - reader.Offset;
}

bool ReadWalls(TMapReader& reader, int32_t count) {
    if (!Holds(reader, count, 16)) return false;
    Walls.resize(size_t(count));
    for (TWall& wall : Walls) {
        if (!ReadPoint(reader, wall.A) || !ReadPoint(reader, wall.B)) return false;
        // Which side the wall faces follows from the order of its ends.
        wall.Normal = Normalize2D(Perpendicular(wall.A, wall.B));
    }
    return true;
}

bool ReadPickups(TMapReader& reader, int32_t count) {
    if (!Holds(reader, count, 12)) return false;
    Pickups.resize(size_t(count));
    int32_t ignored;
    for (TPickup& pickup : Pickups) {
        if (!ReadPoint(reader, pickup.Position) || !ReadInteger(reader, ignored)) return false;
        pickup.Active = true;
    }
    return true;
}

bool ReadLevel(TMapReader& reader) {
    int32_t wallCount, pickupCount;
    if (!ReadInteger(reader, MapScale) || !ReadInteger(reader, wallCount) ||
        !ReadInteger(reader, pickupCount))
        return false;
    reader.Scale = MapScale;
    return ReadPoint(reader, StartPoint) && ReadPoint(reader, ExitPoint) &&
           ReadWalls(reader, wallCount) && ReadPickups(reader, pickupCount);
}

// The four walls around the arena of side S, each facing into it.
void AddArenaWalls(float S) {
    AddWall(MakeWall(VecMake(0, S, 0), VecMake(S, S, 0), VecMake(0, -1, 0)));
    AddWall(MakeWall(VecMake(0, 0, 0), VecMake(S, 0, 0), VecMake(0, 1, 0)));
    AddWall(MakeWall(VecMake(0, 0, 0), VecMake(0, S, 0), VecMake(1, 0, 0)));
    AddWall(MakeWall(VecMake(S, 0, 0), VecMake(S, S, 0), VecMake(-1, 0, 0)));
}

// The arena's side: Scale * 450 formed as an integer, then divided by 10; false when the product
// leaves 32 bits.
bool ArenaSize(int32_t scale, float& size) {
    const int64_t product = int64_t(scale) * 450;
    if (product > std::numeric_limits<int32_t>::max() ||
        product < std::numeric_limits<int32_t>::min())
        return false;
    size = float(product) / 10;
    return true;
}

// ResetLevel, and the level's values too: a failed load leaves an empty level.
void ForgetLevel() {
    ResetLevel();
    MapScale = 0;
    StartPoint = ExitPoint = TVec3{};
    CollectedCount = 0;
}

// The whole file, when it is a regular file of at most MaxMapFileSize bytes. Anything else (a
// named pipe would block the open, a device would never end) is refused before it is opened.
bool ReadMapFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > MaxMapFileSize) return false;
    std::ifstream in(path, std::ios::binary);
    bytes.resize(size_t(size) + 1); // a byte more tells a file that grew since it was measured
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    bytes.resize(size_t(in.gcount()));
    return bytes.size() <= size;
}

} // namespace

std::string MapFileName(int32_t number) {
    return "map" + std::to_string(number) + ".map";
}

void ResetLevel() {
    ClearSparks();
    Walls.clear();
    Circles.clear();
    Pickups.clear();
    ClearSystem(World);
}

TWall MakeWall(TVec3 A, TVec3 B, TVec3 Normal) {
    return TWall{A, B, Normal};
}

void AddWall(const TWall& wall) {
    Walls.push_back(wall);
}

bool LoadMapBytes(const uint8_t* data, size_t size) {
    ++MapLoadCount;
    if (size > MaxMapFileSize) {
        ForgetLevel();
        return false;
    }
    ResetLevel();
    ReserveParticles(World, 1000);
    ReserveConstraints(World, 1000);
    CollectedCount = 0;
    TMapReader reader{data, size};
    float S = 0;
    // A broken file leaves nothing half-built behind it.
    if (!ReadLevel(reader) || !ArenaSize(MapScale, S)) {
        ForgetLevel();
        return false;
    }
    CreatePlayer(StartPoint.x, StartPoint.y);
    // The view opens centred on the exit, then glides to the player.
    Camera.X = ExitPoint.x - 400;
    Camera.Y = ExitPoint.y - 300;
    AddArenaWalls(S);
    InitSystem(World, 3, VecMake(S, S, 800), VecMake(0, 0.3f, 0), 0.5f);
    return true;
}

bool LoadMap(const std::string& name) {
    std::vector<uint8_t> bytes;
    if (!ReadMapFile(std::filesystem::path("maps") / name, bytes)) {
        ForgetLevel();
        return false;
    }
    return LoadMapBytes(bytes.data(), bytes.size());
}
