// Game controllers through SDL's game controller API, which names the buttons by place whatever
// the make of the pad.
#include "gamepad.h"

#include "engine.h"

#include <algorithm>

namespace {

std::vector<SDL_GameController*> Controllers;
bool Started = false;
// Which arrow the stick holds down: -1 left, 1 right, 0 neither.
int StickSide = 0;

// The stick presses an arrow past about half its travel and lets go below a quarter, so that a
// stick resting near the threshold does not chatter.
constexpr int16_t PressAt = 16384, ReleaseAt = 8192;

struct TButtonKey {
    uint8_t Button;
    uint8_t Key;
};

// The buttons that stand for keys; a pad pulled out lets go of every one of these keys.
constexpr TButtonKey ButtonKeys[] = {
    {SDL_CONTROLLER_BUTTON_A, VK_SPACE},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, VK_LEFT},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, VK_RIGHT},
    {SDL_CONTROLLER_BUTTON_START, VK_RETURN},
};

uint8_t ButtonKey(uint8_t button) {
    for (const TButtonKey& entry : ButtonKeys)
        if (entry.Button == button) return entry.Key;
    return 0;
}

int NextStickSide(int16_t value) {
    if (value <= -PressAt) return -1;
    if (value >= PressAt) return 1;
    if (value > -ReleaseAt && value < ReleaseAt) return 0;
    return StickSide;
}

void MoveStick(int16_t value, std::vector<TKeyChange>& changes) {
    int side = NextStickSide(value);
    if (side == StickSide) return;
    if (StickSide != 0) changes.push_back({StickSide < 0 ? VK_LEFT : VK_RIGHT, false});
    if (side != 0) changes.push_back({side < 0 ? VK_LEFT : VK_RIGHT, true});
    StickSide = side;
}

void Open(int32_t deviceIndex) {
    if (SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex))
        Controllers.push_back(controller);
}

void Close(SDL_JoystickID instance) {
    SDL_GameController* controller = SDL_GameControllerFromInstanceID(instance);
    if (!controller) return;
    std::erase(Controllers, controller);
    SDL_GameControllerClose(controller);
}

} // namespace

bool StartGamepads() {
    Started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    return Started;
}

void StopGamepads() {
    for (SDL_GameController* controller : Controllers) SDL_GameControllerClose(controller);
    Controllers.clear();
    StickSide = 0;
    if (Started) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    Started = false;
}

bool HandleGamepadEvent(const SDL_Event& event, std::vector<TKeyChange>& changes) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        Open(event.cdevice.which);
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        // A pad pulled out with a button held would leave its key down for good.
        Close(event.cdevice.which);
        MoveStick(0, changes);
        for (const TButtonKey& entry : ButtonKeys) changes.push_back({entry.Key, false});
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (uint8_t code = ButtonKey(event.cbutton.button))
            changes.push_back({code, event.type == SDL_CONTROLLERBUTTONDOWN});
        return true;
    case SDL_CONTROLLERAXISMOTION:
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) MoveStick(event.caxis.value, changes);
        return true;
    default:
        return false;
    }
}
