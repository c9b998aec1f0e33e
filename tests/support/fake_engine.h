// Cindervaulter's engine interfaces stood in by a clock the test sets and scripted keys, so the
// game's steps run headless. Include from tests that link the game; UseFakeEngine points the
// game's Engine and Input at them.
#pragma once

#include "engine.h"

struct FakeInput final : IEngineInput {
    int32_t AddRef() override { return 1; }
    int32_t Release() override { return 1; }
    bool KeyDown(int32_t key) override { return key == Held; }
    int32_t LastKey() override { return Pressed; }
    int32_t Held = 0;    // the one key held, 0 for none
    int32_t Pressed = 0; // the key of this step, 0 for none
};

struct FakeEngine final : IEngine {
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

inline FakeEngine TheFakeEngine;
inline FakeInput TheFakeInput;

inline void UseFakeEngine() {
    TheFakeEngine = FakeEngine{};
    TheFakeInput = FakeInput{};
    Engine = &TheFakeEngine;
    Input = &TheFakeInput;
}
