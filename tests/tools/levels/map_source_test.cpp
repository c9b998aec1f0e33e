// The level compiler: a source becomes the map format; a broken one is refused with its file, line
// and reason, and nothing is compiled.
#include "map_files.h"
#include "map_source.h"

#include <gtest/gtest.h>

namespace {

std::string Repeat(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

} // namespace

TEST(MapSource, CompilesSourcesAndRefusesBrokenOnesWithFileLineAndReason) {
    std::vector<uint8_t> map;
    std::string name, error;
    ASSERT_TRUE(CompileMapSource("# a level\nexit 400 300  # in any order\nscale 20\n\n"
                                 "start 100 200\nwall 30 20 10 20\n name  Über #1 \npickup 5 -6\n",
                                 "l.txt", map, name, error));
    EXPECT_EQ(map, MapBytes({20, 1, 1, 100, 200, 400, 300, 30, 20, 10, 20, 5, -6, 0}));
    EXPECT_EQ(name, "Über #1");
    const std::string head = "scale 10\nstart 1 2\nexit 3 4\n";
    const std::pair<std::string, std::string> cases[] = {
        {head + "door 1 2\n", "l.txt:4: unknown keyword 'door'"},
        {head + "wall 1 2 3\n", "l.txt:4: wall takes 4 values, not 3"},
        {head + "pickup 1 2147483648\n", "l.txt:4: '2147483648' is not a 32-bit integer"},
        {head + "\nscale 20\n", "l.txt:5: scale given twice (first on line 1)"},
        {head + "wall 5 5 5 5\n", "l.txt:4: wall has no length: it would never push"},
        {"scale 10\nstart 1 2\n", "l.txt:2: no exit line"},
        {head + "name  \n", "l.txt:4: name takes a text"},
        {head + "name A\nname B\n", "l.txt:5: name given twice (first on line 4)"},
        {"scale 4772186\nstart 1 2\nexit 3 4\n",
         "l.txt:1: scale 4772186 makes the arena's side leave 32 bits"},
        {"start 1 2\nexit 3 4\npickup 0 2147484\nscale 1000\n",
         "l.txt:3: 2147484 times the scale leaves 32 bits"},
        {"scale 0\nstart 1 2\nexit 3 4\n", "l.txt:1: scale 0 is not at least 1"},
        {"start 1 2\nexit 3 4\nscale -3\n", "l.txt:3: scale -3 is not at least 1"},
        {head + Repeat("wall 0 0 1 0\n", 66000),
         "l.txt: the map takes 1056028 bytes; the game loads at most 1048576"},
    };
    for (const auto& [source, message] : cases) {
        map.clear();
        EXPECT_FALSE(CompileMapSource(source, "l.txt", map, name, error)) << message;
        EXPECT_EQ(error, message) << error;
        EXPECT_TRUE(map.empty()) << error;
    }
}
