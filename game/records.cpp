// The best scores and their file.
#include "records.h"

#include "engine/engine.h"

#include <charconv>
#include <sstream>

TBestScores BestScores;
std::string BestScoresFile;

namespace {

// Far more than three lines need; a larger file is not ours.
constexpr size_t FileLimit = 4096;

// A whole number from 0 to the int32 maximum, digits only; -1 otherwise.
int32_t ReadScore(const std::string& text) {
    int32_t value = -1;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    bool whole = error == std::errc() && end == text.data() + text.size() && !text.empty();
    return whole && text[0] != '-' && text[0] != '+' ? value : -1;
}

void ReadLine(const std::string& line, TBestScores& scores) {
    size_t equals = line.find('=');
    if (equals == std::string::npos) return;
    std::string name = line.substr(0, equals);
    int32_t value = ReadScore(line.substr(equals + 1));
    if (value < 0) return;
    if (name == "Jump") scores.Jump = value;
    if (name == "Move") scores.Move = value;
    if (name == "Stop") scores.Stop = value;
}

} // namespace

TBestScores ReadBestScores(const std::string& name) {
    TBestScores scores;
    std::vector<uint8_t> bytes;
    if (!ReadFileWithin(name, FileLimit, bytes)) return scores;
    std::istringstream lines(std::string(bytes.begin(), bytes.end()));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        ReadLine(line, scores);
    }
    return scores;
}

bool WriteBestScores(const std::string& name, const TBestScores& scores) {
    std::string text = "Jump=" + IntToText(scores.Jump) + "\nMove=" + IntToText(scores.Move) +
                       "\nStop=" + IntToText(scores.Stop) + "\n";
    return ReplaceFileAtomically(name, text);
}

int32_t* BestOf(TBestScores& scores, TGameState mode) {
    switch (mode) {
    case gsJump:
        return &scores.Jump;
    case gsMove:
        return &scores.Move;
    case gsStop:
        return &scores.Stop;
    default:
        return nullptr;
    }
}

void KeepScore() {
    int32_t* best = BestOf(BestScores, GameState);
    if (!best || Score <= *best) return;
    *best = Score;
    if (!BestScoresFile.empty()) WriteBestScores(BestScoresFile, BestScores);
}
