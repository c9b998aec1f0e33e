// What surrounds the rules for a person playing: the level's time and the records, sounds at the
// moments that matter, the quick restart and mute keys, the hints, and the ending page after the
// last level. It watches what a step of the rules changed and never changes how the rules compute.
#pragma once

#include "records.h"

#include <cstdint>
#include <string>

// Keys of their own, by virtual-key code.
constexpr int32_t KeyRestart = 'R';
constexpr int32_t KeyMute = 'M';
// How long a message stays up: two seconds of update steps.
constexpr int32_t MessageSteps = 60;

extern TRecords Records;
extern int32_t LevelSteps;      // play steps on the current map since it started
extern int32_t RunSteps;        // the finished levels' steps since play began from the level choice
extern int32_t EndingSteps;     // the total the ending page shows
extern bool HasThrust;          // Up was held in play at least once this run
extern int32_t ClosedExitSteps; // steps left of the "exit still closed" message
extern int32_t OpenedExitSteps; // steps left of the "exit open" message
extern bool SaveFailureLogged;  // a save failed and the log said so, which it says only once

// Language, sound and records, and the level after the last one finished as the first choice.
void StartPlayer();
void StopPlayer();
// One step of play or of the menus with all that surrounds it.
void PlayerGameUpdate();
void PlayerMenuUpdate();
// Update steps as minutes, seconds and tenths: "1:05.3".
std::string FormatSteps(int32_t steps);
