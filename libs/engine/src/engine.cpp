// The engine object: reference counting, the interfaces over the modules, and the main loop.
#include "core.h"
#include "display.h"
#include "exgine.h"
#include "input.h"
#include "log.h"
#include "pacing.h"
#include "text.h"
#include "textures.h"

#include "platform/virtual_keys.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <string>
#include <vector>

namespace {

struct EngineCore;

int32_t AddEngineRef(EngineCore& core);
int32_t ReleaseEngineRef(EngineCore& core);

// Every interface shares the one count of its engine.
template <typename Interface> struct Counted : Interface {
    EngineCore* Core = nullptr;
    int32_t AddRef() override { return AddEngineRef(*Core); }
    int32_t Release() override { return ReleaseEngineRef(*Core); }
};

struct LogPart final : Counted<IEngineLog> {
    void Print(const char* text) override;
};

struct WindowPart final : Counted<IEngineWindow> {
    void SetCaption(const char* text, bool ansi) override;
    bool SetMode(bool fullScreen, int32_t width, int32_t height, int32_t colorBits,
                 int32_t refreshHz) override;
};

struct RenderPart final : Counted<IEngineRender> {
    void Set2D(float x, float y, float width, float height) override;
    int32_t CreateFont(const char* faceName, int32_t size) override;
    void PrintText(int32_t font, const char* text, float x, float y) override;
    void SetRenderFlag(int32_t flags) override;
};

struct InputPart final : Counted<IEngineInput> {
    bool KeyDown(int32_t virtualKey) override;
    int32_t LastKey() override;
};

struct TexturesPart final : Counted<IEngineTextures> {
    int32_t CreateTexture(const char* name, int32_t components, uint32_t format, int32_t width,
                          int32_t height, const void* pixels, int32_t clamp, int32_t linear,
                          int32_t mipmaps) override;
    void EnableTexture(int32_t id, int32_t unit) override;
    void DisableTexture(int32_t unit) override;
};

struct EnginePart final : Counted<IEngine> {
    IEngineLog* GetLog() override;
    IEngineWindow* GetWindow() override;
    IEngineRender* GetRender() override;
    IEngineInput* GetInput() override;
    IEngineTextures* GetTextures() override;
    void SetProc(int32_t kind, EngineProc proc) override;
    int32_t GetTime() override;
    void Run(int32_t rate) override;
    void Quit() override;
};

struct EngineCore {
    int32_t References = 0;
    EngineLogFile Log;
    EngineClock Clock{};
    int64_t StartUs = 0;
    EngineProc Update = nullptr;
    EngineProc Render = nullptr;
    bool Running = false;
    bool QuitRequested = false;
    bool ShutdownPending = false; // the last reference went while Run was still on the stack
    bool FrameShown = false;
    bool Utf8Text = false;  // PrintText's encoding, set by SetRenderFlag
    int64_t StepCount = 0;  // of the latest Run
    int64_t FrameCount = 0; // drawn
    int64_t ShownCount = 0; // drawn and shown
    StepPacer Pacer;
    DisplayState Display;
    InputState Input;
    std::vector<SDL_GameController*> Pads; // open, plugged in
    TextState Text;
    EnginePart EngineInterface;
    LogPart LogInterface;
    WindowPart WindowInterface;
    RenderPart RenderInterface;
    InputPart InputInterface;
    TexturesPart TexturesInterface;
};

EngineClock NextClock = SystemClock();
EngineCore* RunningEngine = nullptr;

// A termination request (SIGTERM, Ctrl+C) is only noted; the loop ends at its next look at the
// window's events, so the program's own shutdown runs and the log is complete.
volatile std::sig_atomic_t QuitSignalled = 0;

extern "C" void NoteQuitSignal(int) {
    QuitSignalled = 1;
}

void CatchQuitSignals(void (*handler)(int)) {
    std::signal(SIGTERM, handler);
    std::signal(SIGINT, handler);
}

void Shutdown(EngineCore* core) {
    StopText(core->Text);
    CloseDisplay(core->Display);
    for (SDL_GameController* pad : core->Pads) SDL_GameControllerClose(pad);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    WriteLog(core->Log, "Engine shut down");
    CloseLogFile(core->Log);
    RunningEngine = nullptr;
    delete core;
    CatchQuitSignals(SIG_DFL);
    QuitSignalled = 0;
}

int32_t AddEngineRef(EngineCore& core) {
    return ++core.References;
}

int32_t ReleaseEngineRef(EngineCore& core) {
    const int32_t left = --core.References;
    if (left > 0) return left;
    if (core.Running)
        core.ShutdownPending = true;
    else
        Shutdown(&core);
    return 0;
}

template <typename Part> Part* Handed(Part& part) {
    AddEngineRef(*part.Core);
    return &part;
}

int64_t NowUs(const EngineCore& core) {
    return core.Clock.NowUs();
}

// Key events change the held keys and queue presses; Alt+Enter switches full screen.
void HandleKey(EngineCore& core, const SDL_KeyboardEvent& key) {
    // By place, so that letters and digits keep their codes under any layout, Cyrillic too.
    const int32_t vk = VirtualKeyFromScancode(key.keysym.scancode);
    const bool down = key.state == SDL_PRESSED;
    const bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    if (down && alt && vk == 13 && !key.repeat) ToggleFullScreen(core.Display, core.Log);
    KeyChanged(core.Input, vk, down, alt || vk == 18);
}

// Pads come and go while the game runs; SDL announces those present at start the same way.
void OpenPad(EngineCore& core, int deviceIndex) {
    SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
    if (!pad) return;
    core.Pads.push_back(pad);
    const char* name = SDL_GameControllerName(pad);
    WriteLog(core.Log, std::string("Game controller: ") + (name ? name : "unnamed"));
}

void ClosePad(EngineCore& core, SDL_JoystickID id) {
    for (auto pad = core.Pads.begin(); pad != core.Pads.end(); ++pad) {
        if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(*pad)) != id) continue;
        SDL_GameControllerClose(*pad);
        core.Pads.erase(pad);
        // A key the pad held must not stay down without it.
        ReleaseAllKeys(core.Input);
        return;
    }
}

void HandlePad(EngineCore& core, const SDL_Event& event) {
    if (event.type == SDL_CONTROLLERDEVICEADDED) OpenPad(core, event.cdevice.which);
    if (event.type == SDL_CONTROLLERDEVICEREMOVED) ClosePad(core, event.cdevice.which);
    if (event.type == SDL_CONTROLLERBUTTONDOWN || event.type == SDL_CONTROLLERBUTTONUP)
        PadButtonChanged(core.Input, event.cbutton.button, event.cbutton.state == SDL_PRESSED);
    if (event.type == SDL_CONTROLLERAXISMOTION)
        PadAxisChanged(core.Input, event.caxis.axis, event.caxis.value);
}

void PumpEvents(EngineCore& core) {
    if (QuitSignalled) core.QuitRequested = true;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT:
            core.QuitRequested = true;
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            HandleKey(core, event.key);
            break;
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
        case SDL_CONTROLLERAXISMOTION:
            HandlePad(core, event);
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) core.QuitRequested = true;
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) ReleaseAllKeys(core.Input);
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                core.Display.Repaint = true;
            break;
        default:
            break;
        }
    }
}

void RunSteps(EngineCore& core) {
    const int steps = StepsDue(core.Pacer, NowUs(core));
    for (int step = 0; step < steps; ++step) {
        // A termination request is looked at between steps too: steps that run long (a huge
        // level) would otherwise hold it for a whole batch of catch-up steps.
        if (QuitSignalled) core.QuitRequested = true;
        if (core.QuitRequested) break;
        BeginInputStep(core.Input);
        if (core.Update) core.Update();
        ++core.StepCount;
    }
}

void ShowFrame(EngineCore& core) {
    BeginFrame(core.Display);
    if (core.Render) core.Render();
    ++core.FrameCount;
    // With vsync every frame is shown, so interpolated motion keeps the display's pace.
    if (!core.Display.VSync && !FrameDiffers(core.Display)) return;
    const FitRect fit = PresentFrame(core.Display);
    ++core.ShownCount;
    if (core.FrameShown) return;
    core.FrameShown = true;
    WriteLog(core.Log, "First frame shown at " + std::to_string(fit.X) + "," +
                           std::to_string(fit.Y) + " size " + std::to_string(fit.Width) + "x" +
                           std::to_string(fit.Height));
}

// Without vsync frames come one per step, right after it: motion stays even, one step a frame,
// while a software renderer draws and swaps half as often as at the display's rate.
void WaitForNextFrame(EngineCore& core, int64_t frameStartUs) {
    const int64_t nowUs = NowUs(core);
    int64_t sleepUs =
        FrameSleepUs(frameStartUs, nowUs, FramePeriodUs(core.Display), core.Display.VSync);
    if (!core.Display.VSync) sleepUs = std::max(sleepUs, NextStepUs(core.Pacer) - nowUs);
    if (sleepUs > 0) core.Clock.SleepUs(sleepUs);
}

void MainLoop(EngineCore& core, int32_t rate) {
    StartPacer(core.Pacer, rate, NowUs(core));
    core.StepCount = core.FrameCount = core.ShownCount = 0;
    while (!core.QuitRequested) {
        const int64_t frameStartUs = NowUs(core);
        PumpEvents(core);
        if (core.QuitRequested) break;
        RunSteps(core);
        if (core.QuitRequested) break;
        ShowFrame(core);
        WaitForNextFrame(core, frameStartUs);
    }
}

} // namespace

void SetEngineClock(EngineClock clock) {
    NextClock = clock;
}

void LogPart::Print(const char* text) {
    WriteLog(Core->Log, text ? text : "");
}

void WindowPart::SetCaption(const char* text, bool ansi) {
    const char* caption = text ? text : "";
    SetDisplayCaption(Core->Display, ansi ? EncodeUtf8(DecodeCp1251(caption)) : caption);
}

bool WindowPart::SetMode(bool fullScreen, int32_t width, int32_t height, int32_t colorBits,
                         int32_t refreshHz) {
    return SetDisplayMode(Core->Display, Core->Log, fullScreen, width, height, colorBits,
                          refreshHz);
}

void RenderPart::Set2D(float x, float y, float width, float height) {
    if (!Core->Display.Context || width == 0 || height == 0) return;
    if (!std::isfinite(x + y + width + height)) return;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(x, x + width, y + height, y, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

int32_t RenderPart::CreateFont(const char* faceName, int32_t size) {
    return LoadFont(Core->Text, faceName, size, Core->Log);
}

void RenderPart::PrintText(int32_t font, const char* text, float x, float y) {
    if (!Core->Display.Context || !text) return;
    DrawText(Core->Text, font, Core->Utf8Text ? DecodeUtf8(text) : DecodeCp1251(text), x, y);
}

void RenderPart::SetRenderFlag(int32_t flags) {
    Core->Display.VSyncWanted = (flags & RenderFlagVSync) != 0;
    Core->Utf8Text = (flags & RenderFlagUtf8) != 0;
    ApplyVSync(Core->Display, Core->Log);
}

bool InputPart::KeyDown(int32_t virtualKey) {
    return IsKeyHeld(Core->Input, virtualKey);
}

int32_t InputPart::LastKey() {
    return Core->Input.Current;
}

int32_t TexturesPart::CreateTexture(const char* name, int32_t components, uint32_t format,
                                    int32_t width, int32_t height, const void* pixels,
                                    int32_t clamp, int32_t linear, int32_t mipmaps) {
    if (!Core->Display.Context) {
        WriteLog(Core->Log, "Error: a texture before the window");
        return 0;
    }
    return CreateGLTexture(Core->Log, name, components, format, width, height, pixels, clamp != 0,
                           linear != 0, mipmaps != 0);
}

void TexturesPart::EnableTexture(int32_t id, int32_t unit) {
    if (Core->Display.Context) EnableGLTexture(id, unit);
}

void TexturesPart::DisableTexture(int32_t unit) {
    if (Core->Display.Context) DisableGLTexture(unit);
}

IEngineLog* EnginePart::GetLog() {
    return Handed(Core->LogInterface);
}
IEngineWindow* EnginePart::GetWindow() {
    return Handed(Core->WindowInterface);
}
IEngineRender* EnginePart::GetRender() {
    return Handed(Core->RenderInterface);
}
IEngineInput* EnginePart::GetInput() {
    return Handed(Core->InputInterface);
}
IEngineTextures* EnginePart::GetTextures() {
    return Handed(Core->TexturesInterface);
}

void EnginePart::SetProc(int32_t kind, EngineProc proc) {
    if (kind == ProcUpdate)
        Core->Update = proc;
    else if (kind == ProcRender)
        Core->Render = proc;
    else
        WriteLog(Core->Log, "Error: no procedure kind " + std::to_string(kind));
}

int32_t EnginePart::GetTime() {
    return static_cast<int32_t>((NowUs(*Core) - Core->StartUs) / 1000);
}

void EnginePart::Run(int32_t rate) {
    EngineCore& core = *Core;
    if (core.Running) {
        WriteLog(core.Log, "Error: Run while running");
        return;
    }
    if (rate <= 0 || !core.Display.Window) {
        WriteLog(core.Log, rate <= 0 ? "Error: Run at " + std::to_string(rate) + " steps a second"
                                     : std::string("Error: Run without a window"));
        core.QuitRequested = false;
        return;
    }
    WriteLog(core.Log, "Run: " + std::to_string(rate) + " steps a second");
    core.Running = true;
    MainLoop(core, rate);
    core.Running = false;
    core.QuitRequested = false;
    WriteLog(core.Log, "Run ended: " + std::to_string(core.StepCount) + " steps, " +
                           std::to_string(core.FrameCount) + " frames, " +
                           std::to_string(core.ShownCount) + " shown");
    if (core.ShutdownPending) Shutdown(&core);
}

void EnginePart::Quit() {
    Core->QuitRequested = true;
}

extern "C" EXGINE_API bool exInit(IEngine** engine, const char* logName) {
    if (!engine) return false;
    *engine = nullptr;
    if (RunningEngine) return false;
    CatchQuitSignals(NoteQuitSignal);
    auto* core = new EngineCore;
    core->Clock = NextClock;
    core->StartUs = core->Clock.NowUs();
    OpenLogFile(core->Log, logName);
    WriteLog(core->Log, "Engine started");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        WriteLog(core->Log, std::string("Error: no video: ") + SDL_GetError());
        CloseLogFile(core->Log);
        delete core;
        CatchQuitSignals(SIG_DFL);
        return false;
    }
    // Without controller support the keyboard alone plays.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        WriteLog(core->Log, std::string("No game controllers: ") + SDL_GetError());
    if (!StartText(core->Text)) WriteLog(core->Log, "Error: no FreeType: text is not drawn");
    core->EngineInterface.Core = core->LogInterface.Core = core;
    core->WindowInterface.Core = core->RenderInterface.Core = core;
    core->InputInterface.Core = core->TexturesInterface.Core = core;
    core->References = 1;
    RunningEngine = core;
    *engine = &core->EngineInterface;
    return true;
}
