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
// Adds Count sparks around (X, Y). Kind 1 scatters up to 25 and draws 64 wide, kind 2 up to 15
// and 32 wide; any other kind sits exactly at (X, Y), 32 wide.
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
