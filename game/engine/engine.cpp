// The window, display mode, OpenGL context, input state and frames of the platform layer, on SDL2.
#include "engine.h"

#include "gamepad.h"
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

// Keys and buttons that went down since the game last took them.
bool Pressed[256] = {};

extern "C" void NoteQuitSignal(int) {
    QuitSignalled = 1;
}

TScreenSettings CurrentSettings;
constexpr int MinimumWidth = 640, MinimumHeight = 480;
// Where the window was before Alt+Enter made it cover the display.
SDL_Rect WindowedPlace{};
SDL_Window* WindowHandle = nullptr;
SDL_GLContext RenderContext = nullptr;
bool VideoStarted = false;
// The display mode SetDisplayMode chose; the full-screen window takes it when it is shown.
SDL_DisplayMode FullScreenMode{};
// Why the last InitEngine failed, in words a player can act on.
std::string StartFailure;

// The window's size in points (as the mouse reports positions) and in pixels (as the viewport
// counts); the settings' size until there is a window.
void WindowSize(int& width, int& height, bool pixels) {
    width = CurrentSettings.Width;
    height = CurrentSettings.Height;
    if (!WindowHandle) return;
    if (pixels)
        SDL_GL_GetDrawableSize(WindowHandle, &width, &height);
    else
        SDL_GetWindowSize(WindowHandle, &width, &height);
}

TViewRect CurrentLetterbox(bool pixels) {
    int width = 0, height = 0;
    WindowSize(width, height, pixels);
    return LetterboxRect(width, height, CurrentSettings.VirtualWidth,
                         CurrentSettings.VirtualHeight);
}

// Alt+Enter: the desktop's own mode, full screen, or back to the window it was; the display mode
// never changes, so nothing flickers and no mode needs to exist. Without a window manager (a bare
// X server) the window would keep its size while SDL reports the display's, so it is first laid
// over the display.
void ToggleFullScreen() {
    if (!WindowHandle) return;
    if (SDL_GetWindowFlags(WindowHandle) & SDL_WINDOW_FULLSCREEN) {
        SDL_SetWindowFullscreen(WindowHandle, 0);
        SDL_SetWindowSize(WindowHandle, WindowedPlace.w, WindowedPlace.h);
        SDL_SetWindowPosition(WindowHandle, WindowedPlace.x, WindowedPlace.y);
        return;
    }
    SDL_GetWindowPosition(WindowHandle, &WindowedPlace.x, &WindowedPlace.y);
    SDL_GetWindowSize(WindowHandle, &WindowedPlace.w, &WindowedPlace.h);
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(WindowHandle), &bounds) == 0) {
        SDL_SetWindowPosition(WindowHandle, bounds.x, bounds.y);
        SDL_SetWindowSize(WindowHandle, bounds.w, bounds.h);
    }
    SDL_SetWindowFullscreen(WindowHandle, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

bool IsFullScreenToggle(const SDL_KeyboardEvent& key) {
    bool enter = key.keysym.sym == SDLK_RETURN || key.keysym.sym == SDLK_KP_ENTER;
    return enter && (key.keysym.mod & KMOD_ALT) && !key.repeat;
}

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

// A key's repeats while it is held set its entry again but are no new press.
void SetKey(uint8_t code, bool down, bool repeat = false) {
    if (code == 0) return;
    Keys[code] = down;
    if (down && !repeat) Pressed[code] = true;
}

// Client coordinates travel as two unsigned 16-bit words.
void SetMousePos(int32_t x, int32_t y) {
    MousePos = {static_cast<uint16_t>(x), static_cast<uint16_t>(y)};
}

void HandleGamepad(const SDL_Event& event) {
    std::vector<TKeyChange> changes;
    HandleGamepadEvent(event, changes);
    for (TKeyChange change : changes) SetKey(change.Code, change.Down);
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
        if (IsFullScreenToggle(event.key)) ToggleFullScreen();
        if (!IsSystemKey(event.key.keysym))
            SetKey(VirtualKeyFromKeycode(event.key.keysym.sym), true, event.key.repeat != 0);
        break;
    case SDL_KEYUP:
        SetKey(VirtualKeyFromKeycode(event.key.keysym.sym), false);
        break;
    case SDL_MOUSEMOTION:
        SetMousePos(event.motion.x, event.motion.y);
        break;
    // A click's own position: a tap may come with no motion before it.
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        SetMousePos(event.button.x, event.button.y);
        SetKey(ButtonKey(event.button.button), event.type == SDL_MOUSEBUTTONDOWN);
        break;
    default:
        HandleGamepad(event);
        break;
    }
}

// Gives up the context, the window and the video system, so that a start begins from nothing.
void StopVideo() {
    StopGamepads();
    if (RenderContext) SDL_GL_DeleteContext(RenderContext);
    if (WindowHandle) SDL_DestroyWindow(WindowHandle);
    if (VideoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    RenderContext = nullptr;
    WindowHandle = nullptr;
    VideoStarted = false;
}

// Undoes a failed start: a changed display mode, then everything else. The cause, with SDL's own
// words after it, is kept for StartFailureText.
bool FailStart(bool fullScreen, const std::string& cause) {
    std::string detail = SDL_GetError();
    StartFailure = detail.empty() ? cause : cause + ": " + detail;
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
    StartFailure.clear();
    SDL_ClearError();
    if (settings.Width <= 0 || settings.Height <= 0) {
        StartFailure = "the window size " + IntToText(settings.Width) + "x" +
                       IntToText(settings.Height) + " is not a size";
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return FailStart(false, "no video display");
    VideoStarted = true;
    StartGamepads();

    // A window manager may give the window any size; the picture is letterboxed into it.
    uint32_t style = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
    if (settings.FullScreen) {
        style |= SDL_WINDOW_FULLSCREEN;
        if (!SetDisplayMode(settings.Width, settings.Height, settings.ColorBits,
                            settings.Frequency))
            return FailStart(false, "the display offers no full-screen mode of " +
                                        IntToText(settings.Width) + "x" +
                                        IntToText(settings.Height) +
                                        " (ScrFullScreen=0 in Config.INI opens a window)");
    }
    RequestPixelFormat(settings.ColorBits);
    WindowHandle = SDL_CreateWindow(caption.c_str(), 0, 0, settings.Width, settings.Height, style);
    if (!WindowHandle) return FailStart(settings.FullScreen, "cannot open the window");
    if (settings.FullScreen && SDL_SetWindowDisplayMode(WindowHandle, &FullScreenMode) != 0)
        return FailStart(true, "cannot change the display mode");

    RenderContext = SDL_GL_CreateContext(WindowHandle);
    if (!RenderContext || SDL_GL_MakeCurrent(WindowHandle, RenderContext) != 0)
        return FailStart(settings.FullScreen, "no OpenGL context for the window");
    // The game paces itself with its own sleep; waiting for the display would slow every tick.
    SDL_GL_SetSwapInterval(0);
    SetInitialGLState();

    CurrentSettings = settings;
    // A game started full screen goes to a window of its configured size on Alt+Enter.
    WindowedPlace = {0, 0, settings.Width, settings.Height};
    // Below this the menu's lines, whose glyphs keep their pixel size, would run into each other.
    SDL_SetWindowMinimumSize(WindowHandle, std::min(settings.Width, MinimumWidth),
                             std::min(settings.Height, MinimumHeight));
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

TViewRect LetterboxRect(int32_t width, int32_t height, int32_t virtualWidth,
                        int32_t virtualHeight) {
    if (width <= 0 || height <= 0 || virtualWidth <= 0 || virtualHeight <= 0) return {};
    int64_t w = width, h = height, vw = virtualWidth, vh = virtualHeight;
    TViewRect fit;
    // Rounded to the nearest pixel: w * vh / vw rows when the window is wider than the space's
    // shape, or h * vw / vh columns when it is taller.
    if (w * vh <= h * vw) {
        fit.Width = width;
        fit.Height = static_cast<int32_t>((w * vh * 2 + vw) / (vw * 2));
    } else {
        fit.Height = height;
        fit.Width = static_cast<int32_t>((h * vw * 2 + vh) / (vh * 2));
    }
    fit.X = (width - fit.Width) / 2;
    fit.Y = (height - fit.Height) / 2;
    return fit;
}

void WindowToSpace(TPoint point, double& x, double& y) {
    TViewRect fit = CurrentLetterbox(false);
    if (fit.Width <= 0 || fit.Height <= 0) {
        x = y = -1;
        return;
    }
    x = (point.X - fit.X) * static_cast<double>(CurrentSettings.VirtualWidth) / fit.Width;
    y = (point.Y - fit.Y) * static_cast<double>(CurrentSettings.VirtualHeight) / fit.Height;
}

void SetProjection(bool perspective) {
    // Rows count up from the bottom in OpenGL; the bars are even, so the offset is the same.
    TViewRect fit = CurrentLetterbox(true);
    glViewport(fit.X, fit.Y, fit.Width, fit.Height);
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

const std::string& StartFailureText() {
    return StartFailure;
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

bool TakePress(uint8_t code) {
    bool pressed = Pressed[code];
    Pressed[code] = false;
    return pressed;
}

void ForgetPresses() {
    std::fill(std::begin(Pressed), std::end(Pressed), false);
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
