// Game controllers as keys: the south button is space, the d-pad and the left stick's horizontal
// axis are the left and right arrows, start is Enter. Controllers plugged in before or while the
// game runs are opened as SDL announces them, and closed when they go.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

struct TKeyChange {
    uint8_t Code; // virtual-key code
    bool Down;
};

// Starts SDL's controller support; false (and no controllers) where the platform has none.
bool StartGamepads();
// Closes every open controller and stops the support.
void StopGamepads();
// Opens or closes the controller a device event names; appends the key changes a button or axis
// event stands for. True when the event was a controller's.
bool HandleGamepadEvent(const SDL_Event& event, std::vector<TKeyChange>& changes);
