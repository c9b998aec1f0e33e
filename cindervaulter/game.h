// The game's spine: the screen state, the camera, the textures painted at start, and the two
// procedures the engine's loop calls.
#pragma once

#include "physics/utilite.h"

#include <cstdint>

// The view's top-left corner in world units: before and after the latest game step, and as drawn.
struct TCamera {
    float PrevX = 0;
    float PrevY = 0;
    float X = 0;
    float Y = 0;
    float DrawX = 0;
    float DrawY = 0;
};

extern TCamera Camera;
extern int32_t GameScreen; // 0 menu screens, 1 play
// Milliseconds of the engine clock: the end of the latest game step, this frame, and between them.
extern float LastUpdateTime;
extern float FrameTime;
extern float ElapsedTime;

extern int32_t MainFont;
extern int32_t CircleTexture;
extern int32_t LeadTexture;
extern int32_t ArrowTexture;
extern int32_t BackTexture;

// The textures' pixels, rows of R, G, B, A bytes from the top; they live for the whole run.
extern uint8_t CirclePixels[128 * 128 * 4];
extern uint8_t LeadPixels[128 * 128 * 4];
extern uint8_t ArrowPixels[16 * 16 * 4];
extern uint8_t BackPixels[32 * 32 * 4];

constexpr int32_t UpdateRate = 30;

// Sets the drawn corner between the previous and the current one by the part of an update period
// that `elapsedMs` makes; past a period it runs on along the same line.
void InterpolateCamera(TCamera& camera, float elapsedMs);

void UpdateProc();
void RenderProc();
// Paints the four textures into their pixel arrays.
void PaintTextures();
// Paints the four textures and hands them to the engine.
void MakeTextures();
// GL state, textures and font, once before the loop starts.
void GameInit();
