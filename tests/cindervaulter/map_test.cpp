// The map loader: scaling, the arena and World's settings, wall normals, and broken files, which
// load nothing and leave nothing behind. Files on disk are read in the rules' exit test.
#include "game.h"
#include "map.h"
#include "map_files.h"

#include <gtest/gtest.h>

namespace {

// One wall from (10, 20) to (30, 20), one pickup at (5, 6), start (100, 200), exit (400, 300).
std::vector<int32_t> Level(int32_t scale) {
    return {scale, 1, 1, 100, 200, 400, 300, 10, 20, 30, 20, 5, 6, 99};
}

bool Load(const std::vector<uint8_t>& bytes) {
    return LoadMapBytes(bytes.data(), bytes.size());
}

bool IsEmptyLevel() {
    return Walls.empty() && Circles.empty() && Pickups.empty() && !World.ParticleCount && !MapScale;
}

std::vector<float> Ends(const TWall& w) {
    return {w.A.x, w.A.y, w.B.x, w.B.y, w.Normal.x, w.Normal.y};
}

} // namespace

TEST(Map, ScaleBuildsTheLevelTheArenaAndTheWorld) {
    for (int32_t scale : {10, 20}) {
        const float f = float(scale) / 10, S = 45.0f * float(scale);
        ASSERT_TRUE(Load(MapBytes(Level(scale)))) << scale;
        ASSERT_EQ(Walls.size(), 5u) << scale;
        // The map's wall, then the arena's bottom, top, left and right, facing into it.
        const float ends[5][6] = {{10 * f, 20 * f, 30 * f, 20 * f, 0, 1},
                                  {0, S, S, S, 0, -1},
                                  {0, 0, S, 0, 0, 1},
                                  {0, 0, 0, S, 1, 0},
                                  {S, 0, S, S, -1, 0}};
        for (size_t k = 0; k < 5; ++k)
            EXPECT_EQ(Ends(Walls[k]), std::vector<float>(ends[k], ends[k] + 6));
        EXPECT_EQ(Pickups[0].Position.y, 6 * f);
        EXPECT_EQ(World.Bounds.x, S);
        EXPECT_EQ(World.Bounds.z, 800);
        EXPECT_EQ(World.Iterations, 3);
        EXPECT_EQ(World.Gravity.y, 0.3f);
        EXPECT_EQ(World.TimeStep, 0.5f);
        // The body hangs head up from the start; the camera opens over the exit.
        ASSERT_EQ(World.ParticleCount, 3);
        EXPECT_EQ(World.Positions[2].x, 100 * f + 2);
        EXPECT_EQ(World.Positions[2].y, 200 * f + 100);
        EXPECT_EQ(Camera.X, 400 * f - 400);
        EXPECT_EQ(Camera.Y, 300 * f - 300);
    }
}

TEST(Map, EmptyListsSwappedEndsExtraBytesAndReloading) {
    ASSERT_TRUE(Load(MapBytes({10, 0, 0, 1, 2, 3, 4})));
    EXPECT_EQ(Walls.size(), 4u);
    EXPECT_TRUE(Pickups.empty());
    ASSERT_TRUE(Load(MapBytes({10, 1, 0, 1, 2, 3, 4, 30, 20, 10, 20, 777, 888})));
    EXPECT_EQ(Walls[0].Normal.y, -1);
    ASSERT_TRUE(Load(MapBytes(Level(10))));
    Pickups[0].Active = false;
    CollectedCount = 1;
    World.Positions[0].x = 5;
    ASSERT_TRUE(Load(MapBytes(Level(10))));
    EXPECT_TRUE(Pickups[0].Active);
    EXPECT_EQ(CollectedCount, 0);
    EXPECT_EQ(World.Positions[0].x, 100);
}

TEST(Map, BrokenFilesLoadNothing) {
    const std::vector<uint8_t> whole = MapBytes(Level(10));
    std::vector<std::vector<uint8_t>> bad;
    for (size_t cut = 0; cut < whole.size(); ++cut)
        bad.emplace_back(whole.begin(), whole.begin() + long(cut));
    for (std::vector<int32_t> values : std::vector<std::vector<int32_t>>{
             {10, -1, 0, 1, 2, 3, 4},                     // negative counts
             {10, 0, -5, 1, 2, 3, 4},                     //
             {10, 0x10000000, 0, 1, 2, 3, 4, 1, 2, 3, 4}, // records the file does not hold
             {10, 0, 0x7FFFFFFF, 1, 2, 3, 4, 1, 2, 3},    //
             {4772186, 0, 0, 1, 2, 3, 4},                 // the arena's side leaves 32 bits
             {-4772186, 0, 0, 1, 2, 3, 4},                //
             {1000, 0, 0, 1, 2, 3, 2147484},              // a coordinate times the scale does
             {1000, 1, 0, 1, 2, 3, 4, 0, 0, -2147484, 0}})
        bad.push_back(MapBytes(values));
    bad.push_back(whole);
    bad.back().resize(MaxMapFileSize + 1); // whole, but longer than any map file may be
    for (const std::vector<uint8_t>& bytes : bad) {
        ASSERT_TRUE(Load(whole));
        EXPECT_FALSE(Load(bytes)) << bytes.size() << " bytes";
        EXPECT_TRUE(IsEmptyLevel()) << bytes.size() << " bytes";
    }
    ASSERT_TRUE(Load(whole)); // nothing of a failed load survives into the next
    EXPECT_EQ(Walls.size(), 5u);
    EXPECT_EQ(Pickups.size(), 1u);
}
