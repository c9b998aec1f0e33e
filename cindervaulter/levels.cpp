#include "levels.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace {

// Names longer than this are cut: the level choice shows one short line.
constexpr size_t MaxNameLength = 60;

// N of "mapN.map" with N a plain decimal from 1, else 0.
int32_t MapNumber(const std::string& file) {
    if (file.size() < 8 || file.compare(0, 3, "map") || file.compare(file.size() - 4, 4, ".map"))
        return 0;
    const char* first = file.data() + 3;
    const char* last = file.data() + file.size() - 4;
    int32_t number = 0;
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc() || end != last || *first == '0' || number < 1) return 0;
    return number;
}

} // namespace

int32_t HighestMap(const std::string& folder) {
    std::error_code error;
    int32_t highest = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        highest = std::max(highest, MapNumber(entry.path().filename().string()));
    return highest;
}

int32_t StepLevel(int32_t level, int32_t delta, int32_t highest) {
    if (highest < 1) return std::max(1, level + delta);
    const int32_t from = std::clamp(level, 1, highest) - 1;
    return (from + delta % highest + highest) % highest + 1;
}

int32_t LevelAfter(int32_t lastFinished, int32_t highest) {
    return lastFinished >= 1 && lastFinished < highest ? lastFinished + 1 : 1;
}

std::string LevelName(const std::string& folder, int32_t number) {
    std::ifstream file(folder + "/map" + std::to_string(number) + ".name");
    std::string name;
    if (!file || !std::getline(file, name)) return "";
    if (!name.empty() && name.back() == '\r') name.pop_back();
    if (name.size() <= MaxNameLength) return name;
    // Cut before a whole character, never inside one's UTF-8 bytes.
    size_t cut = MaxNameLength;
    while (cut > 0 && (uint8_t(name[cut]) & 0xC0) == 0x80) --cut;
    return name.substr(0, cut);
}
