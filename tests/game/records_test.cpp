// The best-scores file: what a damaged file reads as, a folder that cannot be written, and writers
// racing each other and a reader.
#include "records.h"

#include "file_modes.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using ScoresFile = ScratchFolderTest;

void WriteText(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
}

TEST_F(ScoresFile, ReadsGoodLinesAndTakesAnythingElseForNoBest) {
    struct Case {
        const char* Text; // null: no file at all
        int32_t Jump, Move, Stop;
    } const cases[] = {
        {nullptr, 0, 0, 0},
        {"Jump=12\nMove=7\nStop=2147483647\n", 12, 7, 2147483647},
        {"Stop=5\r\nJump=3\r\n", 3, 0, 5},
        {"Jump=12", 12, 0, 0},
        {"Jump=-4\nMove=+4\nStop=2147483648\n", 0, 0, 0},
        {"Jump=1x\nMove=\nStop= 3\nJump\n=9\n", 0, 0, 0},
        {"jump=5\nRun=5\n\n\x01\xff\x00Move=8\n", 0, 0, 0},
        {"\x89PNG\r\n\x1a\n", 0, 0, 0},
    };
    for (const Case& c : cases) {
        std::string name = Dir + "/Scores.TXT";
        std::filesystem::remove(name);
        if (c.Text) WriteText(name, c.Text);
        TBestScores scores = ReadBestScores(name);
        EXPECT_EQ(scores.Jump, c.Jump) << (c.Text ? c.Text : "missing");
        EXPECT_EQ(scores.Move, c.Move) << (c.Text ? c.Text : "missing");
        EXPECT_EQ(scores.Stop, c.Stop) << (c.Text ? c.Text : "missing");
    }
}

// A folder that cannot be written refuses the new scores and keeps the old file whole; a
// read-only file is still read.
TEST_F(ScoresFile, AReadOnlyFolderKeepsTheOldFile) {
    std::string name = Dir + "/Scores.TXT";
    ASSERT_TRUE(WriteBestScores(name, {1, 2, 3}));
    std::filesystem::permissions(name, std::filesystem::perms::owner_read);
    std::filesystem::permissions(Dir, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_exec);
    {
        FileModesHold hold;
        EXPECT_FALSE(WriteBestScores(name, {9, 9, 9}));
        EXPECT_EQ(ReadBestScores(name).Stop, 3);
    }
    std::filesystem::permissions(Dir, std::filesystem::perms::owner_all);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir), {}), 1);
}

// Two writers replace the file over and over while a reader reads it: every read finds one
// writer's whole set of scores, and no temporary file stays behind.
TEST_F(ScoresFile, ConcurrentWritersNeverLeaveAMix) {
    std::string name = Dir + "/Scores.TXT";
    ASSERT_TRUE(WriteBestScores(name, {1, 1, 1}));
    auto writer = [&](int32_t value) {
        for (int i = 0; i < 300; ++i) WriteBestScores(name, {value, value, value});
    };
    std::thread first(writer, 1), second(writer, 2);
    int mixed = 0;
    for (int i = 0; i < 300; ++i) {
        TBestScores read = ReadBestScores(name);
        mixed += read.Jump == 0 || read.Jump != read.Move || read.Move != read.Stop;
    }
    first.join();
    second.join();
    EXPECT_EQ(mixed, 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir), {}), 1);
}

} // namespace
