// The platform layer's small helpers: number parsing as the configuration relies on it, files.
#include "engine/engine.h"

#include "file_modes.h"
#include "run_program.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

TEST(TextToInt, ReadsDecimalAndHexadecimalAndStopsAtTheFirstBadCharacter) {
    EXPECT_EQ(TextToInt("  42"), 42);
    EXPECT_EQ(TextToInt("$1F"), 31);
    EXPECT_EQ(TextToInt("x1f"), 31);
    EXPECT_EQ(TextToInt("0X10"), 16);
    EXPECT_EQ(TextToInt("12abc"), 12);
    EXPECT_EQ(TextToInt("1024px"), 1024);
    EXPECT_EQ(TextToInt("-7"), -7);
    EXPECT_EQ(TextToInt("+7"), 7);
    EXPECT_EQ(TextToInt("-7a"), 7);
    EXPECT_EQ(TextToInt(""), 0);
    EXPECT_EQ(TextToInt("-"), 0);
    EXPECT_EQ(TextToInt("abc"), 0);
    EXPECT_EQ(TextToInt("0"), 0);
}

TEST(TextToInt, StopsBeforeAnOverflow) {
    EXPECT_EQ(TextToInt("2147483647"), 2147483647);
    EXPECT_EQ(TextToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(TextToInt("2147483648"), 214748364);
    EXPECT_EQ(TextToInt("99999999999999999999"), 999999999);
    EXPECT_EQ(TextToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(TextToInt("$123456789"), 0x12345678);
}

TEST(IntToText, WritesDecimalWithSign) {
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(-15), "-15");
    EXPECT_EQ(IntToText(INT32_MIN), "-2147483648");
}

TEST(Random, StaysInRangeAndRepeatsForASeed) {
    SeedRandom(7);
    std::vector<int32_t> first;
    for (int i = 0; i < 1000; ++i) {
        first.push_back(Random(10));
        ASSERT_GE(first.back(), 0);
        ASSERT_LT(first.back(), 10);
    }
    SeedRandom(7);
    for (int32_t value : first) EXPECT_EQ(Random(10), value);
    EXPECT_EQ(Random(1), 0);
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
}

// A link in the player's folder had the file it names overwritten by the log.
TEST(RewriteRegularFile, NeverWritesThroughALinkOrIntoAPipe) {
    const std::string dir = MakeScratchDir("files"), target = dir + "/kept.txt";
    std::ofstream(target) << "kept";
    std::filesystem::create_symlink(target, dir + "/link");
    ASSERT_EQ(mkfifo((dir + "/pipe").c_str(), 0600), 0);
    for (const char* name : {"link", "pipe"})
        EXPECT_EQ(RewriteRegularFile(dir + "/" + name), nullptr) << name;
    EXPECT_EQ(ReadWholeFile(target), "kept");
    std::filesystem::remove_all(dir);
}

TEST(FileExists, IsTrueForReadableFilesOnlyAndAReadOnlyFileIsNotMissing) {
    std::string dir = MakeScratchDir("files");
    std::string path = dir + "/a.txt";
    EXPECT_FALSE(FileExists(path));
    std::ofstream(path) << "x";
    EXPECT_TRUE(FileExists(path));
    const FileModesHold modesHold;
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    EXPECT_FALSE(CanWrite(path)) << "modes do not bind this user";
    EXPECT_TRUE(FileExists(path));
    std::filesystem::permissions(path, std::filesystem::perms::none);
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(FileExists(dir));
    EXPECT_FALSE(FileExists(""));
    std::filesystem::remove_all(dir);
}
