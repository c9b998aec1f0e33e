#include "player.h"

#include "engine.h"
#include "game.h"
#include "language.h"
#include "levels.h"
#include "map.h"
#include "menus.h"
#include "rules.h"
#include "sound.h"

#include <algorithm>

TRecords Records;
int32_t LevelSteps = 0;
int32_t RunSteps = 0;
int32_t EndingSteps = 0;
bool HasThrust = false;
int32_t ClosedExitSteps = 0;
int32_t OpenedExitSteps = 0;
bool SaveFailureLogged = false;

namespace {

constexpr int32_t KeyEnter = 13;
constexpr int32_t KeyEsc = 27;
constexpr int32_t KeyUp = 38;
constexpr float ExitTouchRadius = 12;

bool UpWasHeld = false;

// What a step of the rules may change, taken before it.
struct TPlayWatch {
    int32_t Level, Collected, Loads;
    bool Open;
};

struct TMenuWatch {
    int32_t Page, Selection, Level;
};

// A map began: its clock and messages start afresh.
void StartLevelClock() {
    LevelSteps = 0;
    ClosedExitSteps = OpenedExitSteps = 0;
}

void SaveRecords() {
    if (WriteRecords(RecordsFileName, Records) || SaveFailureLogged) return;
    SaveFailureLogged = true;
    if (EngineLog) EngineLog->Print("Records cannot be saved in this folder; play goes on");
}

void ShowEnding() {
    EndingSteps = RunSteps;
    RunSteps = 0;
    GameScreen = 0;
    MenuPage = PageEnding;
    MenuSelection = NoSelection;
}

// The exit loaded the next map, or map 1 again after the last: `wrapped`.
void LevelFinished(int32_t level, bool wrapped) {
    PlayEffect(efFinish);
    NoteFinish(Records, level, LevelSteps);
    SaveRecords();
    RunSteps += LevelSteps;
    StartLevelClock();
    if (wrapped) ShowEnding();
}

bool BodyTouchesExit() {
    for (int32_t b = 0; b < 3; ++b) {
        const size_t index = size_t(Player.CircleIndex + b);
        if (Player.CircleIndex < 0 || index >= Circles.size()) return false;
        const TCircle& circle = Circles[index];
        const float dx = circle.X - ExitPoint.x, dy = circle.Y - ExitPoint.y;
        const float reach = circle.Radius + ExitTouchRadius;
        if (dx * dx + dy * dy < reach * reach) return true;
    }
    return false;
}

void AfterPlayStep(const TPlayWatch& before) {
    if (MapLoadCount != before.Loads) {
        if (GameScreen == 1) LevelFinished(before.Level, LevelNumber <= before.Level);
        return;
    }
    if (!before.Open && ExitOpen()) {
        PlayEffect(efExitOpen);
        OpenedExitSteps = MessageSteps;
    } else if (CollectedCount > before.Collected) {
        PlayEffect(efPickup);
    }
    if (!ExitOpen() && BodyTouchesExit()) ClosedExitSteps = MessageSteps;
}

void RestartLevel() {
    StartLevelClock();
    if (LoadMap(MapFileName(LevelNumber))) return;
    GameScreen = 0;
    MenuPage = PageLoadError;
    MenuSelection = NoSelection;
}

void NoteThrust() {
    const bool held = Input->KeyDown(KeyUp);
    if (held && !UpWasHeld) PlayEffect(efThrust);
    HasThrust = HasThrust || held;
    UpWasHeld = held;
}

void EndingKey(int32_t key) {
    if (key != KeyEnter && key != KeyEsc) return;
    // Play goes on in map 1, which the exit has already loaded.
    GameScreen = 1;
    MenuSelection = 0;
}

} // namespace

void StartPlayer() {
    StartLanguage();
    OpenSound("sounds");
    Records = ReadRecords(RecordsFileName);
    LevelNumber = LevelAfter(Records.LastFinished, HighestMap("maps"));
}

void StopPlayer() {
    CloseSound();
}

void PlayerGameUpdate() {
    const int32_t key = Input->LastKey();
    if (key == KeyMute) ToggleMute();
    if (key == KeyRestart) return RestartLevel();
    const TPlayWatch before{LevelNumber, CollectedCount, MapLoadCount, ExitOpen()};
    GameUpdate();
    ++LevelSteps;
    ClosedExitSteps = std::max(0, ClosedExitSteps - 1);
    OpenedExitSteps = std::max(0, OpenedExitSteps - 1);
    NoteThrust();
    AfterPlayStep(before);
}

void PlayerMenuUpdate() {
    const int32_t key = Input->LastKey();
    if (key == KeyMute) ToggleMute();
    UpWasHeld = false;
    const TMenuWatch before{MenuPage, MenuSelection, LevelNumber};
    MenuUpdate();
    if (before.Page == PageEnding) return EndingKey(key);
    if (MenuPage != before.Page || MenuSelection != before.Selection || LevelNumber != before.Level)
        PlayEffect(efMenu);
    if (GameScreen == 0 || (before.Page == PagePause && before.Selection == 0)) return;
    // A map was loaded: from the level choice a new run begins.
    StartLevelClock();
    if (before.Page == PageLevel) RunSteps = 0;
}

std::string FormatSteps(int32_t steps) {
    const int64_t tenths = int64_t(std::max(0, steps)) * 10 / UpdateRate;
    const int64_t seconds = tenths / 10 % 60;
    return std::to_string(tenths / 600) + ":" + (seconds < 10 ? "0" : "") +
           std::to_string(seconds) + "." + std::to_string(tenths % 10);
}
