// The Game's main sequence: the log, the configuration, the engine and sound start, the loading
// screen, the frame loop and the shutdown, each step written to "Log.TXT".
#pragma once

#include "config.h"
#include "engine/engine.h"
#include "resources.h"

#include <cstdint>

// The configured screen; after the engine starts, the engine's own copy.
extern TScreenSettings ScreenSettings;
// The lines of "Config.INI", from start-up to shutdown.
extern TParameterList Parameters;
// The millisecond count taken just before the frame loop.
extern uint32_t StartTick;
// The registration table, filled only while the resources load.
extern TFileNameList ResourceFiles;
// The loaded resources, found by key with FindResourceIndex until shutdown.
extern TResourceList Resources;

// Sets ResourceFiles to the game's fourteen registrations.
void RegisterResourceFiles();

// Draws the progress bar of the loading screen after the file at `fileIndex` was handled, with
// `resourceCount` resources loaded so far; then pauses 100 ms. The loaded count is not used.
void DrawLoadingScreen(int32_t resourceCount, int32_t loadedCount, int32_t fileIndex);

// One iteration of the frame loop: the rule ticks that have fallen due (100 a second of wall time,
// or exactly one with "OneTickPerFrame"), each after the window's messages, then the frame, then a
// sleep until the next tick is due.
void RunFrame();

// The whole program, from the log's creation to the last shutdown step, in the working directory.
// The exit status: 0, or 1 when the engine could not start, with the cause on standard error.
int RunGame();
