#include "input.h"

#include <SDL_gamecontroller.h>

#include <algorithm>

void KeyChanged(InputState& input, int32_t vk, bool down, bool system) {
    if (vk <= 0 || vk > 255) return;
    input.Held[vk] = down;
    if (down && !system && input.Pending.size() < MaxPendingKeys) input.Pending.push_back(vk);
}

void ReleaseAllKeys(InputState& input) {
    std::fill(std::begin(input.Held), std::end(input.Held), false);
    std::fill(std::begin(input.Stick), std::end(input.Stick), int8_t{0});
}

void BeginInputStep(InputState& input) {
    input.Current = 0;
    if (input.Pending.empty()) return;
    input.Current = input.Pending.front();
    input.Pending.pop_front();
}

bool IsKeyHeld(const InputState& input, int32_t vk) {
    return vk >= 0 && vk <= 255 && input.Held[vk];
}

PadKeys PadButtonKeys(int button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return {37, 37};
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return {38, 38};
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return {39, 39};
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return {40, 40};
    case SDL_CONTROLLER_BUTTON_A: // held it thrusts like Up, pressed it chooses like Enter
        return {38, 13};
    case SDL_CONTROLLER_BUTTON_START:
        return {0, 27};
    default:
        return {};
    }
}

void PadButtonChanged(InputState& input, int button, bool down) {
    const PadKeys keys = PadButtonKeys(button);
    if (keys.Held && keys.Held != keys.Pressed) input.Held[keys.Held] = down;
    if (keys.Pressed) KeyChanged(input, keys.Pressed, down, false);
}

namespace {

constexpr int StickPress = 16384;  // half the stick's travel
constexpr int StickRelease = 8192; // a quarter

int8_t StickDirection(int8_t was, int value) {
    if (value >= StickPress) return 1;
    if (value <= -StickPress) return -1;
    if (value > -StickRelease && value < StickRelease) return 0;
    return was;
}

int32_t StickKey(int axis, int8_t direction) {
    if (direction == 0) return 0;
    if (axis == SDL_CONTROLLER_AXIS_LEFTX) return direction < 0 ? 37 : 39;
    return direction < 0 ? 38 : 40;
}

} // namespace

void PadAxisChanged(InputState& input, int axis, int value) {
    if (axis != SDL_CONTROLLER_AXIS_LEFTX && axis != SDL_CONTROLLER_AXIS_LEFTY) return;
    int8_t& direction = input.Stick[axis];
    const int8_t now = StickDirection(direction, value);
    if (now == direction) return;
    if (direction) KeyChanged(input, StickKey(axis, direction), false, false);
    direction = now;
    if (direction) KeyChanged(input, StickKey(axis, direction), true, false);
}
