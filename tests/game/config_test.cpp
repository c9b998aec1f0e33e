// The configuration reader: what each kind of line yields, and that no bytes can break it.
#include "config.h"

#include "file_modes.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class ConfigFile : public ScratchFolderTest {
  protected:
    TParameterList Load(const std::string& bytes) {
        std::string path = Dir + "/Config.INI";
        std::ofstream(path, std::ios::binary) << bytes;
        TParameterList list{{"stale", "entry"}};
        EXPECT_TRUE(LoadParameterList(path, list));
        return list;
    }
};

std::vector<std::pair<std::string, std::string>> Pairs(const TParameterList& list) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const TParameter& p : list) pairs.emplace_back(p.Name, p.Value);
    return pairs;
}

using PairList = std::vector<std::pair<std::string, std::string>>;

} // namespace

TEST_F(ConfigFile, LinesYieldTrimmedNamesAndValuesInFileOrder) {
    TParameterList list = Load("  ScrWidth = 1024 ; my screen\r\n"
                               "ScrWidth\n[Section]\n; ScrHeight=1\n\n"
                               "Title=a=b\nTitle2=a;b\n=empty name\nEmptyValue=\n"
                               "\tTabbed\t=\t7\t\n");
    EXPECT_EQ(Pairs(list), (PairList{{"ScrWidth", "1024"},
                                     {"Title", "a=b"},
                                     {"Title2", "a"},
                                     {"", "empty name"},
                                     {"EmptyValue", ""},
                                     {"Tabbed", "7"}}));
}

TEST_F(ConfigFile, LoneCarriageReturnStaysInsideTheLineAndEndOfFileMarkStopsReading) {
    EXPECT_EQ(Pairs(Load("A=1\rB=2\nC=3\x1A"
                         "D=4\n")),
              (PairList{{"A", "1\rB=2"}, {"C", "3"}}));
    EXPECT_EQ(Pairs(Load("A=1\r")), (PairList{{"A", "1"}}));
    EXPECT_EQ(Pairs(Load(std::string("N\0ul=v\0", 7))), (PairList{{std::string("N\0ul", 4), "v"}}));
}

TEST_F(ConfigFile, EmptyFileIsReadAndMissingFileOrFolderIsNot) {
    EXPECT_TRUE(Load("").empty());
    TParameterList list{{"stale", "entry"}};
    EXPECT_FALSE(LoadParameterList(Dir + "/missing.ini", list));
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(LoadParameterList(Dir, list));
}

TEST_F(ConfigFile, ReadOnlyFileIsStillRead) {
    std::string path = Dir + "/Config.INI";
    std::ofstream(path) << "ScrWidth=640\n";
    const FileModesHold modesHold;
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    ASSERT_FALSE(CanWrite(path)) << "modes do not bind this user";
    TParameterList list;
    EXPECT_TRUE(LoadParameterList(path, list));
    EXPECT_EQ(GetParameterValue("ScrWidth", list, "800"), "640");
}

TEST_F(ConfigFile, VeryLongLinesAreKept) {
    std::string value(MaxConfigFileSize - 16, 'v');
    TParameterList list = Load("Long=" + value + "\nShort=1\n");
    EXPECT_EQ(GetParameterValue("long", list, ""), value);
    EXPECT_EQ(GetParameterValue("short", list, ""), "1");
}

TEST(ParameterLookup, MatchesFirstNameWithoutRegardToCaseOrBlanks) {
    TParameterList list{{"ScrWidth", "640"},
                        {"ScrWidth", "1024"},
                        {"", "blank"},
                        {"\xE0\xE1", "cyr"},
                        {"Empty", ""}};
    EXPECT_EQ(GetParameterValue("scrwidth", list, "800"), "640");
    EXPECT_EQ(GetParameterValue("  SCRWIDTH  ", list, "800"), "640");
    EXPECT_EQ(GetParameterValue("   ", list, "x"), "blank");
    EXPECT_EQ(GetParameterValue("\xC0\xC1", list, "x"), "cyr");
    EXPECT_EQ(GetParameterValue("Empty", list, "default"), "");
    EXPECT_EQ(GetParameterValue("ScrHeight", list, "600"), "600");
    EXPECT_EQ(GetParameterValue("ScrHeight", {}, "600"), "600");
}

TEST(TextHelpers, TrimRemovesControlBytesAndUpperCaseMapsBothAlphabets) {
    EXPECT_EQ(TrimText(std::string("\t\r\n \0a b\x01 ", 9)), "a b");
    EXPECT_EQ(TrimText(" \t "), "");
    EXPECT_EQ(TrimText(""), "");
    EXPECT_EQ(TrimText("\x80x\xFF"), "\x80x\xFF");
    EXPECT_EQ(UpperCaseText("az{AZ`@\xDF\xE0\xFF\xB8"), "AZ{AZ`@\xDF\xC0\xDF\xB8");
}
