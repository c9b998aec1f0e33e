#include "input.h"

#include <algorithm>

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
