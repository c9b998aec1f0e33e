#include "input.h"

#include <SDL_scancode.h>

#include <algorithm>

namespace {

struct KeyCode {
    int Scancode;
    int32_t VirtualKey;
};

constexpr KeyCode NamedKeys[] = {
    {SDL_SCANCODE_BACKSPACE, 8},     {SDL_SCANCODE_TAB, 9},         {SDL_SCANCODE_RETURN, 13},
    {SDL_SCANCODE_KP_ENTER, 13},     {SDL_SCANCODE_LSHIFT, 16},     {SDL_SCANCODE_RSHIFT, 16},
    {SDL_SCANCODE_LCTRL, 17},        {SDL_SCANCODE_RCTRL, 17},      {SDL_SCANCODE_LALT, 18},
    {SDL_SCANCODE_RALT, 18},         {SDL_SCANCODE_PAUSE, 19},      {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_ESCAPE, 27},       {SDL_SCANCODE_SPACE, 32},      {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_PAGEDOWN, 34},     {SDL_SCANCODE_END, 35},        {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_LEFT, 37},         {SDL_SCANCODE_UP, 38},         {SDL_SCANCODE_RIGHT, 39},
    {SDL_SCANCODE_DOWN, 40},         {SDL_SCANCODE_INSERT, 45},     {SDL_SCANCODE_DELETE, 46},
    {SDL_SCANCODE_KP_MULTIPLY, 106}, {SDL_SCANCODE_KP_PLUS, 107},   {SDL_SCANCODE_KP_MINUS, 109},
    {SDL_SCANCODE_KP_PERIOD, 110},   {SDL_SCANCODE_KP_DIVIDE, 111},
};

} // namespace

int32_t VirtualKeyFromScancode(int scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + (scancode - SDL_SCANCODE_A);
    // SDL counts the digit row 1 to 9, then 0.
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0) return '0';
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        return 97 + (scancode - SDL_SCANCODE_KP_1);
    if (scancode == SDL_SCANCODE_KP_0) return 96;
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return 112 + (scancode - SDL_SCANCODE_F1);
    for (const KeyCode& key : NamedKeys)
        if (key.Scancode == scancode) return key.VirtualKey;
    return 0;
}

void KeyChanged(InputState& input, int32_t vk, bool down, bool system) {
    if (vk <= 0 || vk > 255) return;
    input.Held[vk] = down;
    if (down && !system && input.Pending.size() < MaxPendingKeys) input.Pending.push_back(vk);
}

void ReleaseAllKeys(InputState& input) {
    std::fill(std::begin(input.Held), std::end(input.Held), false);
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
