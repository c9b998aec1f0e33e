// Cindervaulter's engine stood in by a clock and keys that the caller sets, so the game's steps run
// headless with no window and no sleeping: the level tools step it, the tests script it.
#pragma once

#include "engine.h"

struct HeadlessInput final : IEngineInput {
    int32_t AddRef() override { return 1; }
    int32_t Release() override { return 1; }
    bool KeyDown(int32_t key) override { return key == Held; }
    int32_t LastKey() override { return Pressed; }
    int32_t Held = 0;    // the one key held, 0 for none
    int32_t Pressed = 0; // the key of this step, 0 for none
};

// Nothing but the clock: the play never asks for a window, a log or textures.
struct HeadlessEngine final : IEngine {
    int32_t AddRef() override { return 1; }
    int32_t Release() override { return 1; }
    IEngineLog* GetLog() override { return nullptr; }
    IEngineWindow* GetWindow() override { return nullptr; }
    IEngineRender* GetRender() override { return nullptr; }
    IEngineInput* GetInput() override { return nullptr; }
    IEngineTextures* GetTextures() override { return nullptr; }
    void SetProc(int32_t, EngineProc) override {}
    int32_t GetTime() override { return Time; }
    void Run(int32_t) override {}
    void Quit() override {}
    int32_t Time = 0; // milliseconds
};

inline HeadlessEngine TheHeadlessEngine;
inline HeadlessInput TheHeadlessInput;

// Points the game's Engine and Input at fresh stand-ins: the clock at 0, no key held or pressed.
inline void UseHeadlessEngine() {
    TheHeadlessEngine = HeadlessEngine{};
    TheHeadlessInput = HeadlessInput{};
    Engine = &TheHeadlessEngine;
    Input = &TheHeadlessInput;
}
