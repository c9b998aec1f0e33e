// A level source is a text file of lines; '#' starts a comment that runs to the line's end, and
// blank lines are ignored. Each other line is a keyword and whole numbers (32-bit, decimal, minus
// allowed) separated by blanks:
//
//   scale S            coordinate factor in tenths: 10 keeps file units as world units, 20 doubles
//                      them. The arena is the square from (0, 0) to (45 S, 45 S) world units.
//   start X Y          where the player's head starts; the body hangs 100 world units below it.
//   exit X Y           the exit, which opens once every pickup is collected.
//   wall X1 Y1 X2 Y2   a straight wall from (X1, Y1) to (X2, Y2).
//   pickup X Y         a pickup.
//   name TEXT          the level's name in English, the rest of the line (UTF-8, '#' included);
//                      optional. It never enters the map: the compiler writes it beside it.
//
// x grows to the right and y downwards, as on screen. scale, start and exit appear once each, in
// any order; walls and pickups keep their order. A wall pushes only towards one side: the side on
// the right of its direction as the screen shows it (from (X1, Y1) towards (X2, Y2), turned a
// quarter turn clockwise). A wall drawn left to right keeps things below it, so a floor runs right
// to left, a ceiling left to right, a left-hand wall upwards and a right-hand wall downwards. The
// arena's four sides are added by the game and never written here.
//
// The compiled map is little-endian 32-bit integers: scale, wall count, pickup count, start x and
// y, exit x and y, four per wall, and three per pickup (x, y and a 0 the game ignores).
//
// A source is refused, naming the file, line and reason, when a line has an unknown keyword, the
// wrong number of values or a value that is not a 32-bit integer; when scale, start or exit is
// missing or given twice; when a wall has no length (it would never push); when the scale makes
// the arena's side or a scaled coordinate leave 32 bits (the game refuses such a map); when the
// scale is below 1; or when the map would be larger than the game loads.
#include "map_source.h"

#include "map.h"

#include <limits>
#include <map>
#include <sstream>
#include <utility>

namespace {

// A coordinate and the line it came from.
struct Value {
    int32_t V;
    int Line;
};

struct Level {
    std::map<std::string, int> FirstLine; // of scale, start and exit
    int32_t Scale = 0;
    int32_t Start[2] = {};
    int32_t Exit[2] = {};
    std::vector<int32_t> Walls;     // four per wall
    std::vector<int32_t> Pickups;   // two per pickup
    std::vector<Value> Coordinates; // every coordinate with its line, in source order
    std::string Name;
};

bool FitsInt32(int64_t v) {
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

bool ParseInteger(const std::string& word, int32_t& value) {
    size_t used = 0;
    long long v = 0;
    try {
        v = std::stoll(word, &used, 10);
    } catch (...) {
        return false;
    }
    if (used != word.size() || !FitsInt32(v)) return false;
    value = int32_t(v);
    return true;
}

size_t ValueCount(const std::string& keyword) {
    if (keyword == "scale") return 1;
    if (keyword == "start" || keyword == "exit" || keyword == "pickup") return 2;
    if (keyword == "wall") return 4;
    return 0;
}

// One line's keyword and values into the level; an empty string, or the reason it is refused.
std::string AddLine(Level& level, int line, const std::string& keyword,
                    const std::vector<int32_t>& v) {
    if (keyword == "scale" || keyword == "start" || keyword == "exit") {
        auto [first, fresh] = level.FirstLine.emplace(keyword, line);
        if (!fresh)
            return keyword + " given twice (first on line " + std::to_string(first->second) + ")";
    }
    if (keyword == "scale") level.Scale = v[0];
    if (keyword == "start") std::copy(v.begin(), v.end(), level.Start);
    if (keyword == "exit") std::copy(v.begin(), v.end(), level.Exit);
    if (keyword == "wall") {
        if (v[0] == v[2] && v[1] == v[3]) return "wall has no length: it would never push";
        level.Walls.insert(level.Walls.end(), v.begin(), v.end());
    }
    if (keyword == "pickup") level.Pickups.insert(level.Pickups.end(), v.begin(), v.end());
    if (keyword != "scale")
        for (int32_t value : v) level.Coordinates.push_back({value, line});
    return "";
}

// The text after "name", blanks trimmed at both ends.
std::string ParseName(Level& level, int line, const std::string& text) {
    const size_t begin = text.find_first_not_of(" \t\r", text.find("name") + 4);
    if (begin == std::string::npos) return "name takes a text";
    auto [first, fresh] = level.FirstLine.emplace("name", line);
    if (!fresh) return "name given twice (first on line " + std::to_string(first->second) + ")";
    level.Name = text.substr(begin, text.find_last_not_of(" \t\r") + 1 - begin);
    return "";
}

std::string ParseLine(Level& level, int line, std::string text) {
    std::istringstream first(text);
    std::string leading;
    if (first >> leading && leading == "name") return ParseName(level, line, text);
    text = text.substr(0, text.find('#'));
    std::istringstream words(text);
    std::string keyword, word;
    if (!(words >> keyword)) return "";
    const size_t expected = ValueCount(keyword);
    if (expected == 0) return "unknown keyword '" + keyword + "'";
    std::vector<int32_t> values;
    while (words >> word) {
        int32_t value;
        if (!ParseInteger(word, value)) return "'" + word + "' is not a 32-bit integer";
        values.push_back(value);
    }
    if (values.size() != expected)
        return keyword + " takes " + std::to_string(expected) + " values, not " +
               std::to_string(values.size());
    return AddLine(level, line, keyword, values);
}

std::string CheckLevel(const Level& level, int& line) {
    for (const char* needed : {"scale", "start", "exit"})
        if (!level.FirstLine.count(needed)) return std::string("no ") + needed + " line";
    line = level.FirstLine.at("scale");
    // At scale 0 every point is the origin: the player would start on the exit.
    if (level.Scale <= 0) return "scale " + std::to_string(level.Scale) + " is not at least 1";
    if (!FitsInt32(int64_t(level.Scale) * 450))
        return "scale " + std::to_string(level.Scale) + " makes the arena's side leave 32 bits";
    for (const Value& value : level.Coordinates)
        if (!FitsInt32(int64_t(value.V) * level.Scale)) {
            line = value.Line;
            return std::to_string(value.V) + " times the scale leaves 32 bits";
        }
    return "";
}

void Put(std::vector<uint8_t>& out, int32_t v) {
    const uint32_t u = uint32_t(v);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(u >> shift));
}

std::vector<uint8_t> Encode(const Level& level) {
    std::vector<uint8_t> out;
    Put(out, level.Scale);
    Put(out, int32_t(level.Walls.size() / 4));
    Put(out, int32_t(level.Pickups.size() / 2));
    for (int32_t v : {level.Start[0], level.Start[1], level.Exit[0], level.Exit[1]}) Put(out, v);
    for (int32_t v : level.Walls) Put(out, v);
    for (size_t i = 0; i < level.Pickups.size(); i += 2) {
        Put(out, level.Pickups[i]);
        Put(out, level.Pickups[i + 1]);
        Put(out, 0);
    }
    return out;
}

} // namespace

bool CompileMapSource(const std::string& text, const std::string& file, std::vector<uint8_t>& map,
                      std::string& name, std::string& error) {
    Level level;
    std::istringstream lines(text);
    std::string content;
    int line = 0;
    while (std::getline(lines, content)) {
        ++line;
        const std::string reason = ParseLine(level, line, content);
        if (!reason.empty()) {
            error = file + ":" + std::to_string(line) + ": " + reason;
            return false;
        }
    }
    const std::string reason = CheckLevel(level, line);
    if (!reason.empty()) {
        error = file + ":" + std::to_string(line) + ": " + reason;
        return false;
    }
    std::vector<uint8_t> bytes = Encode(level);
    if (bytes.size() > MaxMapFileSize) {
        error = file + ": the map takes " + std::to_string(bytes.size()) +
                " bytes; the game loads at most " + std::to_string(MaxMapFileSize);
        return false;
    }
    map = std::move(bytes);
    name = level.Name;
    return true;
}
