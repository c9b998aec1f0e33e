#include "records.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

constexpr const char* Header = "cindervaulter records 1";
// A file beyond this is not one of ours: every level listed takes under 20 bytes.
constexpr std::streamoff MaxRecordsSize = 1 << 18;
constexpr int32_t MaxSteps = 1000000000;

bool InRange(int32_t value, int32_t low, int32_t high) {
    return value >= low && value <= high;
}

// One "level N steps" line into `records`; false when malformed or repeated.
bool ReadLevelLine(std::istringstream& line, TRecords& records) {
    int32_t level = 0, steps = 0;
    if (!(line >> level >> steps) || !InRange(level, 1, MaxRecordedLevel) ||
        !InRange(steps, 1, MaxSteps) || BestSteps(records, level) != 0)
        return false;
    if (records.BestSteps.size() < size_t(level)) records.BestSteps.resize(size_t(level), 0);
    records.BestSteps[size_t(level) - 1] = steps;
    return true;
}

// Parses the lines after the header up to "end"; false on anything else.
bool ReadBody(std::istream& in, TRecords& records) {
    std::string text;
    while (std::getline(in, text)) {
        std::istringstream line(text);
        std::string word, rest;
        line >> word;
        if (word == "end") return !(line >> rest) && !(in >> rest);
        if (word == "last") {
            if (!(line >> records.LastFinished) ||
                !InRange(records.LastFinished, 0, MaxRecordedLevel))
                return false;
        } else if (word != "level" || !ReadLevelLine(line, records)) {
            return false;
        }
        if (line >> rest) return false;
    }
    return false; // cut short before "end"
}

std::string Serialize(const TRecords& records) {
    std::string text =
        std::string(Header) + "\nlast " + std::to_string(records.LastFinished) + "\n";
    for (size_t i = 0; i < records.BestSteps.size(); ++i)
        if (records.BestSteps[i] > 0)
            text += "level " + std::to_string(i + 1) + " " + std::to_string(records.BestSteps[i]) +
                    "\n";
    return text + "end\n";
}

// Writes and flushes to the disk, so the rename never puts an empty file in place.
bool WriteWhole(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    return std::fclose(file) == 0 && ok;
}

} // namespace

TRecords ReadRecords(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in || in.tellg() > MaxRecordsSize) return {};
    in.seekg(0);
    std::string header;
    TRecords records;
    if (!std::getline(in, header) || header != Header || !ReadBody(in, records)) return {};
    return records;
}

bool WriteRecords(const std::string& path, const TRecords& records) {
    const std::string temporary = path + ".tmp";
    if (WriteWhole(temporary, Serialize(records)) &&
        std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    std::remove(temporary.c_str());
    return false;
}

bool NoteFinish(TRecords& records, int32_t level, int32_t steps) {
    if (!InRange(level, 1, MaxRecordedLevel) || steps <= 0) return false;
    records.LastFinished = level;
    if (records.BestSteps.size() < size_t(level)) records.BestSteps.resize(size_t(level), 0);
    int32_t& best = records.BestSteps[size_t(level) - 1];
    if (best != 0 && best <= steps) return false;
    best = steps;
    return true;
}

int32_t BestSteps(const TRecords& records, int32_t level) {
    if (level < 1 || size_t(level) > records.BestSteps.size()) return 0;
    return records.BestSteps[size_t(level) - 1];
}
