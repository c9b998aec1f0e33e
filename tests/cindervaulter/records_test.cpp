// The records file: read back as written, and no records at all from a file that is missing,
// corrupt or cut short; a write that cannot finish leaves the old file whole.
#include "file_modes.h"
#include "records.h"
#include "run_program.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using RecordsFile = ScratchFolderTest;

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

constexpr const char* Good = "cindervaulter records 1\nlast 3\nlevel 1 450\nlevel 3 1200\nend\n";

TEST_F(RecordsFile, ReadsWhatIsWholeAndNothingFromAnythingElse) {
    const struct {
        const char* Name;
        const char* Text; // null: no file
        int32_t Last, BestOfThree;
    } cases[] = {
        {"whole", Good, 3, 1200},
        {"missing", nullptr, 0, 0},
        {"empty", "", 0, 0},
        {"not ours", "\x89PNG\r\n\x1a\n", 0, 0},
        {"cut before its end line", "cindervaulter records 1\nlast 3\nlevel 3 1200\n", 0, 0},
        {"cut inside a line", "cindervaulter records 1\nlast 3\nlevel 3", 0, 0},
        {"a level twice", "cindervaulter records 1\nlast 3\nlevel 3 9\nlevel 3 8\nend\n", 0, 0},
        {"a negative time", "cindervaulter records 1\nlast 3\nlevel 3 -5\nend\n", 0, 0},
        {"a huge level", "cindervaulter records 1\nlast 1\nlevel 99999999999 5\nend\n", 0, 0},
        {"more after the end", "cindervaulter records 1\nlast 3\nlevel 3 9\nend\nlevel 1 5\n", 0,
         0},
        {"another version", "cindervaulter records 2\nlast 3\nlevel 3 9\nend\n", 0, 0},
    };
    for (const auto& c : cases) {
        const std::string path = Dir + "/records.txt";
        std::filesystem::remove(path);
        if (c.Text) WriteText(path, c.Text);
        const TRecords records = ReadRecords(path);
        EXPECT_EQ(records.LastFinished, c.Last) << c.Name;
        EXPECT_EQ(BestSteps(records, 3), c.BestOfThree) << c.Name;
        EXPECT_EQ(BestSteps(records, 2), 0) << c.Name;
    }
}

TEST_F(RecordsFile, AWriteThatCannotFinishLeavesTheOldFileWhole) {
    const std::string path = Dir + "/records.txt";
    WriteText(path, Good);
    TRecords records;
    EXPECT_TRUE(NoteFinish(records, 5, 10));
    EXPECT_FALSE(NoteFinish(records, 5, 11)) << "slower is no record";
    EXPECT_FALSE(NoteFinish(records, 0, 5));
    // A write cut off earlier left half a temporary file: reading ignores it, writing replaces it.
    WriteText(path + ".tmp", "cindervaulter records 1\nlast");
    EXPECT_EQ(ReadRecords(path).LastFinished, 3);
    {
        // The temporary file cannot be made where a folder stands.
        std::filesystem::remove(path + ".tmp");
        std::filesystem::create_directory(path + ".tmp");
        EXPECT_FALSE(WriteRecords(path, records));
        EXPECT_EQ(ReadWholeFile(path), Good);
        std::filesystem::remove(path + ".tmp");
    }
    {
        FileModesHold hold;
        std::filesystem::permissions(Dir, std::filesystem::perms::owner_read |
                                              std::filesystem::perms::owner_exec);
        EXPECT_FALSE(WriteRecords(path, records)) << "a read-only folder";
        std::filesystem::permissions(Dir, std::filesystem::perms::owner_all);
    }
    EXPECT_EQ(ReadWholeFile(path), Good);
    EXPECT_TRUE(WriteRecords(path, records));
    EXPECT_EQ(BestSteps(ReadRecords(path), 5), 10);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

} // namespace
