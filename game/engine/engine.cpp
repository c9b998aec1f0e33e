// The window, display mode, OpenGL context, input state and frames of the platform layer, on SDL2.
#include "engine.h"

#include "platform/virtual_keys.h"
#include "window_loss.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>

#include <algorithm>
#include <csignal>

bool Keys[256] = {};
TPoint MousePos;
bool EngineRunning = false;

namespace {

volatile std::sig_atomic_t QuitSignalled = 0;

extern "C" void NoteQuitSignal(int) {
    QuitSignalled = 1;
}

TScreenSettings CurrentSettings;
SDL_Window* WindowHandle = nullptr;
SDL_GLContext RenderContext = nullptr;
bool VideoStarted = false;
// The display mode SetDisplayMode chose; the full-screen window takes it when it is shown.
SDL_DisplayMode FullScreenMode{};

// Alt, F10 and keys pressed while Alt is held are system keys, which the game never sees go down.
bool IsSystemKey(const SDL_Keysym& key) {
    return (key.mod & KMOD_ALT) || key.sym == SDLK_LALT || key.sym == SDLK_RALT ||
           key.sym == SDLK_F10;
}

uint8_t ButtonKey(uint8_t button) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return VK_LBUTTON;
    case SDL_BUTTON_RIGHT:
        return VK_RBUTTON;
    case SDL_BUTTON_MIDDLE:
        return VK_MBUTTON;
    default:
        return 0;
    }
}

void SetKey(uint8_t code, bool down) {
    if (code != 0) Keys[code] = down;
}

// The window goes away at once, as a closed window does; its context stays for the shutdown.
void StopRunning() {
    EngineRunning = false;
    if (WindowHandle) SDL_HideWindow(WindowHandle);
}

void HandleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        StopRunning();
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) StopRunning();
        break;
    case SDL_KEYDOWN:
        if (!IsSystemKey(event.key.keysym))
            SetKey(VirtualKeyFromKeycode(event.key.keysym.sym), true);
        break;
    case SDL_KEYUP:
        SetKey(VirtualKeyFromKeycode(event.key.keysym.sym), false);
        break;
    case SDL_MOUSEMOTION:
        // Client coordinates travel as two unsigned 16-bit words.
        MousePos = {static_cast<uint16_t>(event.motion.x), static_cast<uint16_t>(event.motion.y)};
        break;
    case SDL_MOUSEBUTTONDOWN:
        SetKey(ButtonKey(event.button.button), true);
        break;
    case SDL_MOUSEBUTTONUP:
        SetKey(ButtonKey(event.button.button), false);
        break;
    }
}

// Gives up the context, the window and the video system, so that a start begins from nothing.
void StopVideo() {
    if (RenderContext) SDL_GL_DeleteContext(RenderContext);
    if (WindowHandle) SDL_DestroyWindow(WindowHandle);
    if (VideoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    RenderContext = nullptr;
    WindowHandle = nullptr;
    VideoStarted = false;
}

// Undoes a failed start: a changed display mode, then everything else.
bool FailStart(bool fullScreen) {
    if (fullScreen) RestoreDisplayMode();
    StopVideo();
    return false;
}

// A double-buffered compatibility context with the colour depth also asked of the depth buffer,
// at most 24 bits, the most that common drivers offer.
void RequestPixelFormat(int32_t colorBits) {
    int channelBits = colorBits >= 24 ? 8 : 5;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, std::clamp(colorBits, 0, 24));
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

void SetInitialGLState() {
    glClearColor(0, 0, 0, 0);
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_BLEND);
}

} // namespace

bool InitEngine(const std::string& caption, TScreenSettings settings) {
    EngineRunning = false;
    SeedRandom(SDL_GetPerformanceCounter());
    StopVideo();
    if (settings.Width <= 0 || settings.Height <= 0) return false;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    VideoStarted = true;

    uint32_t style = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (settings.FullScreen) {
        style |= SDL_WINDOW_FULLSCREEN;
        if (!SetDisplayMode(settings.Width, settings.Height, settings.ColorBits,
                            settings.Frequency))
            return FailStart(false);
    }
    RequestPixelFormat(settings.ColorBits);
    WindowHandle = SDL_CreateWindow(caption.c_str(), 0, 0, settings.Width, settings.Height, style);
    if (!WindowHandle) return FailStart(settings.FullScreen);
    if (settings.FullScreen && SDL_SetWindowDisplayMode(WindowHandle, &FullScreenMode) != 0)
        return FailStart(true);

    RenderContext = SDL_GL_CreateContext(WindowHandle);
    if (!RenderContext || SDL_GL_MakeCurrent(WindowHandle, RenderContext) != 0)
        return FailStart(settings.FullScreen);
    // The game paces itself with its own sleep; waiting for the display would slow every tick.
    SDL_GL_SetSwapInterval(0);
    SetInitialGLState();

    CurrentSettings = settings;
    SDL_ShowWindow(WindowHandle);
    SDL_RaiseWindow(WindowHandle);
    WatchForLostWindow();
    EngineRunning = true;
    return true;
}

bool SetDisplayMode(int32_t width, int32_t height, int32_t bits, int32_t frequency) {
    SDL_DisplayMode wanted{};
    if (SDL_GetDesktopDisplayMode(0, &wanted) != 0) return false;
    if (width != 0) wanted.w = width;
    if (height != 0) wanted.h = height;
    if (bits != 0) wanted.format = bits >= 24 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565;
    if (frequency != 0) wanted.refresh_rate = frequency;
    // The display must offer the size itself: a larger mode would show the game in a corner.
    SDL_DisplayMode closest{};
    if (!SDL_GetClosestDisplayMode(0, &wanted, &closest) || closest.w != wanted.w ||
        closest.h != wanted.h)
        return false;
    FullScreenMode = closest;
    return true;
}

bool RestoreDisplayMode() {
    // Leaving full screen is what puts the desktop's mode back; without a window it never changed.
    return !WindowHandle || SDL_SetWindowFullscreen(WindowHandle, 0) == 0;
}

void SetProjection(bool perspective) {
    glViewport(0, 0, CurrentSettings.Width, CurrentSettings.Height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (perspective) {
        glEnable(GL_DEPTH_TEST);
        gluPerspective(
            45.0, static_cast<double>(CurrentSettings.VirtualWidth) / CurrentSettings.VirtualHeight,
            0.1, 1000.0);
    } else {
        glDisable(GL_DEPTH_TEST);
        glOrtho(0, CurrentSettings.VirtualWidth, CurrentSettings.VirtualHeight, 0, -1, 1);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

TScreenSettings GetScreenSettings() {
    return CurrentSettings;
}

void CatchQuitSignals() {
    std::signal(SIGTERM, NoteQuitSignal);
    std::signal(SIGINT, NoteQuitSignal);
}

bool ProcessMessages() {
    if (QuitSignalled || WindowLost()) StopRunning();
    bool handled = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        HandleEvent(event);
        handled = true;
    }
    return handled;
}

bool QuitRequested() {
    if (!VideoStarted) return false;
    ProcessMessages();
    return !EngineRunning;
}

void BeginFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

void EndFrame() {
    if (WindowHandle && !WindowLost()) SDL_GL_SwapWindow(WindowHandle);
}
