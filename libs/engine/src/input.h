// Keyboard state in Win32 virtual-key codes, and the queue of presses handed out one per update
// step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

// Presses waiting beyond this (a key repeating through a long stall) are dropped.
constexpr size_t MaxPendingKeys = 16;

struct InputState {
    bool Held[256] = {};
    std::deque<int32_t> Pending; // presses not yet handed to a step, oldest first
    int32_t Current = 0;         // the press of the running step
    int8_t Stick[2] = {};        // the left stick's x and y as -1, 0 or 1
};

// What a game controller button plays: the key it holds and the key it presses, 0 for none.
struct PadKeys {
    int32_t Held = 0;
    int32_t Pressed = 0;
};

// A key went down (a repeat counts as a press) or up. A `system` press (with Alt held, like
// Windows' system keys) changes the held state but is not queued.
void KeyChanged(InputState& input, int32_t vk, bool down, bool system);
// Focus left the window: no key counts as held any more.
void ReleaseAllKeys(InputState& input);
// Starts an update step: its key is the oldest waiting press, or 0.
void BeginInputStep(InputState& input);
bool IsKeyHeld(const InputState& input, int32_t vk);
// `button` and `axis` are SDL's game controller numbers.
PadKeys PadButtonKeys(int button);
void PadButtonChanged(InputState& input, int button, bool down);
// The left stick as arrows. Past half its travel a direction goes down; it goes up again only
// below a quarter, so a stick resting near the edge does not chatter.
void PadAxisChanged(InputState& input, int axis, int value);
