// Textured squares, the one shape the playfield and its sparks both draw.
#pragma once

#include <cstdint>

// A square of edge Size centred on (X, Y), turned clockwise on screen by Angle degrees, with
// texture row 0 at its top, tinted by the current colour.
void DrawSprite(int32_t Texture, float X, float Y, float Size, float Angle);
