// Cindervaulter's engine stood in by a set clock and scripted keys, so the game's steps run
// headless; and map files made from their integers.
#pragma once

#include "engine.h"

#include <fstream>
#include <string>
#include <vector>

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

// Points the game's Engine and Input at fresh stand-ins.
inline void UseFakeEngine() {
    TheFakeEngine = FakeEngine{};
    TheFakeInput = FakeInput{};
    Engine = &TheFakeEngine;
    Input = &TheFakeInput;
}

// The integers as a map file holds them, little-endian.
inline std::vector<uint8_t> MapBytes(const std::vector<int32_t>& values) {
    std::vector<uint8_t> out;
    for (int32_t v : values)
        for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(uint32_t(v) >> shift));
    return out;
}

inline void WriteMapFile(const std::string& path, const std::vector<int32_t>& values) {
    const std::vector<uint8_t> bytes = MapBytes(values);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
