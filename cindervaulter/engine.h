// The binding to the engine library: its interfaces, held from start-up to the end of the run.
#pragma once

#include "exgine.h"

extern IEngine* Engine;
extern IEngineLog* EngineLog; // fetched with the others but never called
extern IEngineWindow* Window;
extern IEngineRender* Render;
extern IEngineInput* Input;
extern IEngineTextures* Textures;

// Starts the engine, which keeps its log in `logName`, and fetches every interface; false (and
// nothing held) when the engine cannot start.
bool BindEngine(const char* logName);
// Releases the interfaces in the engine's order; the engine shuts down with the last of them.
void ReleaseEngine();
