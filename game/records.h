// The player's best score in each mode, kept in a small text file in the working folder (the
// launcher's per-user folder, or the run folder beside "Config.INI").
#pragma once

#include "modes.h"

#include <cstdint>
#include <string>

// One "Mode=score" line for each of Jump, Move and Stop; 0 is no best yet.
struct TBestScores {
    int32_t Jump = 0, Move = 0, Stop = 0;
};

// The best scores read at start-up and raised as games end.
extern TBestScores BestScores;
// Where KeepScore writes; empty (as in tests of the rules) keeps scores in memory only.
extern std::string BestScoresFile;

// The file's scores. A missing, unreadable or oversized file gives no bests; a line that is not
// a known mode with a whole number from 0 up gives none for that line.
TBestScores ReadBestScores(const std::string& name);
// Writes all three atomically: a reader finds the old file or the new one, never a mix.
bool WriteBestScores(const std::string& name, const TBestScores& scores);
// The best of a playing mode; null for the splash and start states.
int32_t* BestOf(TBestScores& scores, TGameState mode);
// Raises the best of the current mode to Score and writes the file when that beat it. A file that
// cannot be written leaves the game running with the best in memory.
void KeepScore();
