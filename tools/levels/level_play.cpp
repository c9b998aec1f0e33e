#include "level_play.h"

#include "file_bytes.h"
#include "game.h"
#include "headless_engine.h"
#include "map.h"
#include "menus.h"
#include "physics/utilite.h"
#include "render/particles.h"
#include "rules.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace {

constexpr int32_t KeyUp = 38;

// Steps played since the play started; the clock runs only as they advance it.
int64_t Steps = 0;

// Whether the word is all of one kind of character: no sign, no "0x", nothing after the digits.
bool AllOf(const std::string& word, int (*isKind)(int)) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [isKind](char c) {
        return isKind(static_cast<unsigned char>(c)) != 0;
    });
}

std::string ParseLine(const std::string& content, Replay& replay, bool& hasCheck, uint32_t& check) {
    if (content.find('\0') != std::string::npos) return "a NUL byte is not replay text";
    std::istringstream words(content.substr(0, content.find('#')));
    std::string keyword, count, extra;
    if (!(words >> keyword)) return "";
    if (hasCheck) return "nothing may follow the check line";
    if (!(words >> count) || (words >> extra)) return keyword + " takes one value";
    if (keyword == "check") {
        if (count.size() != 8 || !AllOf(count, isxdigit))
            return "check takes 8 hex digits, not '" + count + "'";
        check = uint32_t(std::strtoul(count.c_str(), nullptr, 16));
        hasCheck = true;
        return "";
    }
    if (keyword != "up" && keyword != "off") return "unknown keyword '" + keyword + "'";
    const long long n = count.size() <= 7 && AllOf(count, isdigit) ? std::atoll(count.c_str()) : 0;
    if (n < 1 || n > 1000000) return "'" + count + "' is not a step count from 1 to 1000000";
    if (replay.size() + size_t(n) > 10000000) return "the replay runs past 10000000 steps";
    replay.insert(replay.end(), size_t(n), keyword == "up" ? 1 : 0);
    return "";
}

} // namespace

bool ParseReplay(const std::string& text, const std::string& file, Replay& replay, uint32_t& check,
                 bool& hasCheck, std::string& error) {
    replay.clear();
    hasCheck = false;
    std::istringstream lines(text);
    std::string content;
    for (int line = 1; std::getline(lines, content); ++line) {
        const std::string reason = ParseLine(content, replay, hasCheck, check);
        if (!reason.empty()) {
            error = file + ":" + std::to_string(line) + ": " + reason;
            return false;
        }
    }
    if (replay.empty()) {
        error = file + ": no steps";
        return false;
    }
    return true;
}

bool ReadReplay(const std::string& path, Replay& replay, uint32_t& check, bool& hasCheck,
                std::string& error) {
    std::vector<uint8_t> text;
    if (!ReadFileBytes(path, text, MaxLevelTextBytes)) {
        error = path + ": cannot be read";
        return false;
    }
    return ParseReplay(std::string(text.begin(), text.end()), path, replay, check, hasCheck, error);
}

std::string FormatReplay(const Replay& replay, const std::string& header, uint32_t check) {
    std::string out = header;
    for (size_t i = 0; i < replay.size();) {
        size_t j = i;
        while (j < replay.size() && replay[j] == replay[i]) ++j;
        out += (replay[i] ? "up " : "off ") + std::to_string(j - i) + "\n";
        i = j;
    }
    char line[32];
    std::snprintf(line, sizeof line, "check %08x\n", check);
    return out + line;
}

int32_t CountPresses(const Replay& replay) {
    int32_t presses = 0;
    for (size_t i = 0; i < replay.size(); ++i)
        if (replay[i] && (i == 0 || !replay[i - 1])) ++presses;
    return presses;
}

void StartHeadlessPlay() {
    UseHeadlessEngine();
    Steps = 0;
    Randomize(1);
}

bool StartLevel(int32_t number) {
    LevelNumber = number;
    GameScreen = 1;
    return LoadMap(MapFileName(number));
}

bool EnterLevel(const std::string& folder, int32_t number) {
    std::error_code error;
    std::filesystem::current_path(folder, error);
    if (error) {
        std::fprintf(stderr, "%s: cannot be entered: %s\n", folder.c_str(),
                     error.message().c_str());
        return false;
    }
    StartHeadlessPlay();
    if (StartLevel(number)) return true;
    std::fprintf(stderr, "%s/maps/%s: cannot be loaded\n", folder.c_str(),
                 MapFileName(number).c_str());
    return false;
}

StepResult PlayStep(bool up) {
    const int32_t level = LevelNumber;
    const bool allIn = CollectedCount == int32_t(Pickups.size());
    StepResult result{false, CollectedCount, int32_t(Pickups.size())};
    // Up is the one key a replay holds; no key is ever pressed, so play never pauses.
    TheHeadlessInput.Held = up ? KeyUp : 0;
    Steps += 1;
    TheHeadlessEngine.Time = int32_t(Steps * 1000 / UpdateRate);
    GameUpdate();
    // The exit loads the next map, or map 1 again after the last: either the number changes, or
    // the one level there is starts over with its pickups back, or nothing could be loaded.
    result.ExitReached = LevelNumber != level || World.ParticleCount < 3 ||
                         (allIn && CollectedCount < result.Collected);
    if (!result.ExitReached) result.Collected = CollectedCount;
    return result;
}

namespace {

// FNV-1a over the value's four bytes, lowest first.
uint32_t FoldBits(uint32_t fingerprint, uint32_t bits) {
    for (int shift = 0; shift < 32; shift += 8)
        fingerprint = (fingerprint ^ ((bits >> shift) & 0xFF)) * 16777619u;
    return fingerprint;
}

uint32_t FoldFloat(uint32_t fingerprint, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return FoldBits(fingerprint, bits);
}

uint32_t LiveSparks() {
    uint32_t live = 0;
    for (const TSpark* s = SparkList.Next; s; s = s->Next) ++live;
    return live;
}

} // namespace

uint32_t FoldFingerprint(uint32_t fingerprint) {
    for (int32_t p = 0; p < 3 && p < World.ParticleCount; ++p)
        for (float f : {World.Positions[size_t(p)].x, World.Positions[size_t(p)].y})
            fingerprint = FoldFloat(fingerprint, f);
    fingerprint = FoldFloat(FoldFloat(fingerprint, Camera.X), Camera.Y);
    return FoldBits(fingerprint, LiveSparks());
}
