// Playing Cindervaulter's levels without a window: the engine's clock and keys stood in by a
// headless pair, the game's own rules stepped 30 times a simulated second with no sleeping, and
// replays (Up held or released per step) read, written and checked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Up held (1) or released (0), one entry per update step.
using Replay = std::vector<uint8_t>;

// Replay text: one run a line, "up N" (held for N steps) or "off N" (released for N steps), and
// at most one "check X" line last, X the trajectory's fingerprint in 8 hex digits. '#' starts a
// comment; blank lines are ignored. On a broken text returns false with error "file:line: reason".
bool ParseReplay(const std::string& text, const std::string& file, Replay& replay, uint32_t& check,
                 bool& hasCheck, std::string& error);
// The replay file read and parsed; a missing file gives "file: cannot be read".
bool ReadReplay(const std::string& path, Replay& replay, uint32_t& check, bool& hasCheck,
                std::string& error);
// The replay as runs under the comment lines `header`, with its check line.
std::string FormatReplay(const Replay& replay, const std::string& header, uint32_t check);
// Presses of Up: runs of held steps.
int32_t CountPresses(const Replay& replay);

// Points the game's Engine and Input at the headless stand-ins and seeds the random generator;
// the clock starts at 0 and each step adds an update period.
void StartHeadlessPlay();
// Loads level `number` from "maps/" under the working directory as the menus would start it.
bool StartLevel(int32_t number);
// Enters `folder`, starts headless play and loads level `number` from its maps; false after
// printing "FOLDER: cannot be entered: why" or "FOLDER/maps/mapN.map: cannot be loaded".
bool EnterLevel(const std::string& folder, int32_t number);

// What a step did to the level being played.
struct StepResult {
    bool ExitReached = false; // the exit loaded another map (or failed to)
    int32_t Collected = 0;    // pickups of the level played in this step, collected by its end
    int32_t Pickups = 0;
};
// One game update with Up held or not.
StepResult PlayStep(bool up);

// Folds the state a step leaves into a running fingerprint (FNV-1a over the bits of the body's
// positions, the camera and the number of live sparks): any difference in the arithmetic between
// two builds changes it, and so does a rule that moves only the view or the sparks. Steps that
// reach the exit are left out, so the map that follows does not count.
uint32_t FoldFingerprint(uint32_t fingerprint);
constexpr uint32_t FingerprintStart = 2166136261u;
