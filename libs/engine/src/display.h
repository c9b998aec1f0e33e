// The window, its OpenGL context and the offscreen frame that the program draws into: the frame
// keeps the size the program asked for and is shown scaled to fit the window, aspect kept.
#pragma once

#include "log.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

struct FitRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

// The largest rectangle of the frame's aspect that fits the screen, centred; bars fill the rest.
FitRect LetterboxRect(int frameWidth, int frameHeight, int screenWidth, int screenHeight);
// GL_NEAREST when the frame fills `fit` at a whole-number scale (1:1 included), where it is exact
// and cheaper; GL_LINEAR otherwise.
GLenum ScaleFilter(int frameWidth, int frameHeight, const FitRect& fit);
// Frames a second without vsync: the display's refresh (DefaultFrameRate when it does not say),
// lowered to the rate the program asked for when that is lower; 0 means unknown or not asked.
int FrameRateCap(int displayHz, int requestedHz);

// Framebuffer calls come from the driver at run time; the system headers only declare GL 1.x.
struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC GenRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC BindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus = nullptr;
    PFNGLBLITFRAMEBUFFERPROC BlitFramebuffer = nullptr;
};

constexpr int MaxFrameSize = 8192;
constexpr int DefaultFrameRate = 60;
constexpr int MaxFrameRate = 1000;

struct DisplayState {
    SDL_Window* Window = nullptr;
    SDL_GLContext Context = nullptr;
    int FrameWidth = 0;
    int FrameHeight = 0;
    bool FullScreen = false;
    int RefreshHz = 0; // the rate asked for by SetMode
    bool VSyncWanted = false;
    bool VSync = false; // the swap really waits for the vertical blank
    FramebufferCalls Calls;
    GLuint Framebuffer = 0; // 0: the frame goes straight to the window
    GLuint ColorBuffer = 0;
    GLuint DepthBuffer = 0;
    std::string Caption;              // UTF-8, kept for a window opened later
    std::vector<uint8_t> ShownPixels; // the frame last shown, to tell an unchanged one
    std::vector<uint8_t> NewPixels;
    bool Repaint = true; // the window lost what it showed: show the next frame whatever it holds
};

// Opens the window and context on the first call, changes size and full screen on later ones.
bool SetDisplayMode(DisplayState& display, EngineLogFile& log, bool fullScreen, int width,
                    int height, int colorBits, int refreshHz);
void SetDisplayCaption(DisplayState& display, const std::string& utf8);
void ToggleFullScreen(DisplayState& display, EngineLogFile& log);
// Asks for vsync (when a window exists, now, otherwise when it opens) and logs what was had.
void ApplyVSync(DisplayState& display, EngineLogFile& log);
// Frames come at most this often when the swap does not wait for the vertical blank: FrameRateCap
// of the window's display and the rate SetMode asked for.
int64_t FramePeriodUs(const DisplayState& display);
// Points the program's drawing at the frame.
void BeginFrame(DisplayState& display);
// Whether the frame just drawn must be shown: its pixels differ from the last frame shown, or the
// window needs repainting, or there is no offscreen frame to compare. Without vsync a software
// renderer pays for every scaled copy and swap, so an unchanged frame is not shown again.
bool FrameDiffers(DisplayState& display);
// Scales the frame into the window, letterboxed, and swaps; the frame stays bound afterwards.
// Returns the rectangle it filled.
FitRect PresentFrame(DisplayState& display);
void CloseDisplay(DisplayState& display);
