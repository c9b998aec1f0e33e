// The Game's overlay: score and best, the mode's hints, the menu's buttons with their keys, the
// game-over message; and the clicks and keys that act on the menu.
#pragma once

#include "modes.h"

// Draws the overlay in the 2D projection and acts on a click on a button or on a menu key (J, M,
// S for the modes, Esc twice for Exit); nothing without the "font" resource.
void DrawHudAndMenu();
// What space does in the mode, as the hint under the score says it.
const char* ModeHint(TGameState mode);
