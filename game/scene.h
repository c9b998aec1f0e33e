// The Game's frame: the splash for the first two seconds, then the playing scene of snakes, road,
// obstacles, the creature from its eight models, the compass and the menu.
#pragma once

#include <cstdint>
#include <string>

// Draws one frame by the game state, from BeginFrame to EndFrame. The splash leaves blending on
// with (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA) for every later frame.
void RenderScene();
// Draws the model resource's display list as triangles; a missing model draws nothing.
void DrawModel(const std::string& key);
// The swing of a leg group in degrees at the walking phase: a triangle wave from -30 at phase 0
// to 30 at 15 and back.
float LegAngle(int32_t phase);
