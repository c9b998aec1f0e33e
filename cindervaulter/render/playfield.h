// The playfield's drawing: the jagged line of a flash, and one frame of play in layers
// (background, walls, the player, sparks, guide arrow, counter, minimap).
// Everything is read from the game's state; nothing here changes it.
#pragma once

#include "physics/physics.h"

#include <cstdint>
#include <string>

struct TFlash;

// One flash as a line strip, its start and (referenced) end moved on by the offsets.
void DrawFlash(const TFlash& Flash, TVec3 StartOffset, TVec3 EndOffset);

void DrawBackground();
void DrawWalls();
void DrawPlayer();
// One frame of play, drawn over the render procedure's 800 x 600 projection.
void DrawPlayfield();
// A 100 x 100 map in the frame's bottom-right corner, one pixel per 20 world units around the
// head; it leaves its viewport and projection for the next frame to reset.
void DrawMinimap();

// The background texture's shift for a camera corner: the whole-pixel corner's remainder after
// multiples of `span`, keeping the corner's sign, counted in tiles of `tile` pixels.
float TileShift(float corner, float span, float tile);
// Where particle p of World is drawn: between its previous and current positions by the part of
// an update period that has passed since the last game step.
TVec3 DrawnPosition(int32_t p);
// The pickup counter, collected over all ("3/7").
std::string CounterText();
