// The map loader: scaling, the arena walls and World's settings, wall normals, and every kind of
// broken file, which must load nothing and leave nothing behind.
#include "game.h"
#include "map.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace {

std::vector<uint8_t> Bytes(std::vector<int32_t> values) {
    std::vector<uint8_t> out;
    for (int32_t v : values)
        for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(uint32_t(v) >> shift));
    return out;
}

bool Load(const std::vector<uint8_t>& bytes) {
    return LoadMapBytes(bytes.data(), bytes.size());
}

// One wall from (10, 20) to (30, 20) and one pickup at (5, 6), start (100, 200), exit (400, 300).
std::vector<int32_t> Level(int32_t scale) {
    return {scale, 1, 1, 100, 200, 400, 300, 10, 20, 30, 20, 5, 6, 99};
}

bool IsEmptyLevel() {
    return Walls.empty() && Circles.empty() && Pickups.empty() && World.ParticleCount == 0 &&
           MapScale == 0;
}

} // namespace

TEST(Map, ScaleBuildsTheLevelTheArenaAndTheWorld) {
    for (int32_t scale : {10, 20}) {
        const float f = float(scale) / 10, S = 45.0f * float(scale);
        ASSERT_TRUE(Load(Bytes(Level(scale)))) << scale;
        ASSERT_EQ(Walls.size(), 5u);
        EXPECT_EQ(Walls[0].A.x, 10 * f);
        EXPECT_EQ(Walls[0].B.y, 20 * f);
        EXPECT_EQ(Walls[0].Normal.y, 1); // left to right faces down
        EXPECT_EQ(Pickups[0].Position.x, 5 * f);
        EXPECT_TRUE(Pickups[0].Active);
        // The arena walls face inwards: bottom, top, left, right.
        const float normals[4][2] = {{0, -1}, {0, 1}, {1, 0}, {-1, 0}};
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(Walls[size_t(k + 1)].Normal.x, normals[k][0]) << k;
            EXPECT_EQ(Walls[size_t(k + 1)].Normal.y, normals[k][1]) << k;
        }
        EXPECT_EQ(Walls[1].B.x, S); // the bottom runs from (0, S) to (S, S)
        EXPECT_EQ(Walls[1].B.y, S);
        EXPECT_EQ(World.Bounds.x, S);
        EXPECT_EQ(World.Bounds.z, 800);
        EXPECT_EQ(World.Iterations, 3);
        EXPECT_FLOAT_EQ(World.Gravity.y, 0.3f);
        EXPECT_EQ(World.TimeStep, 0.5f);
        EXPECT_EQ(World.ParticleCapacity, 1000);
        // The body hangs head up from the start; the camera opens over the exit.
        ASSERT_EQ(World.ParticleCount, 3);
        EXPECT_EQ(World.Positions[2].x, 100 * f + 2);
        EXPECT_EQ(World.Positions[2].y, 200 * f + 100);
        EXPECT_EQ(Circles.size(), 3u);
        EXPECT_EQ(Camera.X, 400 * f - 400);
        EXPECT_EQ(Camera.Y, 300 * f - 300);
    }
    EXPECT_EQ(Walls[1].B.x, 900);
}

TEST(Map, WallsPickupsNormalsAndReloading) {
    // No walls and no pickups: only the arena.
    ASSERT_TRUE(Load(Bytes({10, 0, 0, 1, 2, 3, 4})));
    EXPECT_EQ(Walls.size(), 4u);
    EXPECT_TRUE(Pickups.empty());
    // Swapped ends face the other way; bytes after the last record are ignored.
    ASSERT_TRUE(Load(Bytes({10, 1, 0, 1, 2, 3, 4, 30, 20, 10, 20, 777, 888})));
    EXPECT_EQ(Walls[0].Normal.y, -1);
    // Loading again gives the same level with every pickup active again.
    ASSERT_TRUE(Load(Bytes(Level(10))));
    Pickups[0].Active = false;
    CollectedCount = 1;
    World.Positions[0].x = 5;
    ASSERT_TRUE(Load(Bytes(Level(10))));
    EXPECT_TRUE(Pickups[0].Active);
    EXPECT_EQ(CollectedCount, 0);
    EXPECT_EQ(World.Positions[0].x, 100);
    EXPECT_EQ(Walls.size(), 5u);
}

TEST(Map, BrokenFilesLoadNothing) {
    const std::vector<uint8_t> whole = Bytes(Level(10));
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        std::vector<uint8_t> part(whole.begin(), whole.begin() + long(cut));
        ASSERT_TRUE(Load(whole));
        EXPECT_FALSE(Load(part)) << cut << " bytes";
        EXPECT_TRUE(IsEmptyLevel()) << cut << " bytes";
    }
    const std::vector<std::vector<int32_t>> bad = {
        {10, -1, 0, 1, 2, 3, 4},                     // a negative count
        {10, 0, -5, 1, 2, 3, 4},                     //
        {10, 0x10000000, 0, 1, 2, 3, 4, 1, 2, 3, 4}, // records the file does not hold
        {10, 0, 0x7FFFFFFF, 1, 2, 3, 4, 1, 2, 3},    //
        {4772186, 0, 0, 1, 2, 3, 4},                 // the arena's side leaves 32 bits
        {-4772186, 0, 0, 1, 2, 3, 4},                //
        {1000, 0, 0, 1, 2, 3, 2147484},              // a coordinate times the scale does
        {1000, 1, 0, 1, 2, 3, 4, 0, 0, -2147484, 0}, //
    };
    for (const std::vector<int32_t>& values : bad) {
        ASSERT_TRUE(Load(whole));
        EXPECT_FALSE(Load(Bytes(values))) << values[0] << " " << values[1] << " " << values[2];
        EXPECT_TRUE(IsEmptyLevel());
    }
    // Nothing of a failed load survives into the next.
    ASSERT_TRUE(Load(whole));
    EXPECT_EQ(Walls.size(), 5u);
    EXPECT_EQ(Pickups.size(), 1u);
}

TEST(Map, FilesComeFromTheMapsFolderAndOnlyRegularOnes) {
    const std::string dir = MakeScratchDir("maps");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::filesystem::create_directory("maps");
    const std::vector<uint8_t> level = Bytes(Level(20));
    std::ofstream("maps/map7.map", std::ios::binary)
        .write(reinterpret_cast<const char*>(level.data()), long(level.size()));
    EXPECT_TRUE(LoadMap(MapFileName(7)));
    EXPECT_EQ(Walls[0].A.x, 20);
    EXPECT_FALSE(LoadMap("map8.map"));
    ASSERT_EQ(mkfifo("maps/map9.map", 0600), 0);
    EXPECT_FALSE(LoadMap("map9.map")); // refused without blocking in the open
    std::filesystem::resize_file("maps/map7.map", MaxMapFileSize + 1);
    EXPECT_FALSE(LoadMap("map7.map"));
    EXPECT_TRUE(IsEmptyLevel());
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}
