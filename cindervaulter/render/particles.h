// The playfield's sparks: short-lived soft dots that drift, slow down and fade, kept in one doubly
// linked list behind a sentinel and stepped once per game update.
#pragma once

#include <cstdint>

struct TSpark {
    float X = 0; // world units
    float Y = 0;
    float VX = 0; // world units per update step
    float VY = 0;
    float Color[4] = {}; // red, green, blue, alpha; alpha falls to 0 over the life
    int32_t Life = 0;    // milliseconds
    int32_t Birth = 0;   // engine time when made
    int32_t Size = 0;    // edge of the drawn square in world units
    TSpark* Next = nullptr;
    TSpark* Prev = nullptr;
    bool Dead = false;
};

// The sentinel: its Next is the first live spark, the newest.
extern TSpark SparkList;
extern int32_t BlurTexture;
extern uint8_t BlurPixels[64 * 64 * 4];
extern const float SparkColors[6][4];

// Paints BlurPixels: white, alpha 255 at the centre falling linearly to 0 at distance 32.
void PaintBlur();
// PaintBlur, then hands the picture to the engine as "blur".
void CreateBlurTexture();
// The most sparks alive at once; SpawnSparks adds none beyond it. A level's sparks come one a step
// from each pickup near the view, living up to 60 steps, and two from the exit, living up to 30:
// at most 60 P + 60 for P pickups in view. The shipped levels (at most 6 pickups) stay under 420
// and their replays reach 148; a thousand leaves room for a level with 15 pickups in view, and a
// thousand sparks draw in about 40 ms on the software renderer, so even a map of pickups alone
// keeps its 30 steps a second (bench/cindervaulter).
constexpr int32_t MaxLiveSparks = 1000;

// Adds Count sparks around (X, Y), as long as fewer than MaxLiveSparks live. Kind 1 scatters up to
// 25 and draws 64 wide, kind 2 up to 15 and 32 wide; any other kind sits exactly at (X, Y), 32
// wide.
void SpawnSparks(int32_t Count, int32_t ColorIndex, uint8_t Kind, float X, float Y, float Speed);
void UpdateSpark(TSpark& s);
// Steps every spark and removes those whose life is over.
void UpdateSparks();
// Every spark as a tinted soft dot, carried along its velocity by the part of an update step
// since the last game step.
void DrawSparks();
// Unlinks and frees s; returns the spark that followed it.
TSpark* RemoveSpark(TSpark* s);
void ClearSparks();
int32_t LiveSparkCount();
