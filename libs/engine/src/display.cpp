#include "display.h"

#include <algorithm>
#include <cstring>

namespace {

template <typename Call> void LoadCall(Call& call, const char* name) {
    call = reinterpret_cast<Call>(SDL_GL_GetProcAddress(name));
}

bool LoadFramebufferCalls(FramebufferCalls& calls) {
    LoadCall(calls.GenFramebuffers, "glGenFramebuffers");
    LoadCall(calls.DeleteFramebuffers, "glDeleteFramebuffers");
    LoadCall(calls.BindFramebuffer, "glBindFramebuffer");
    LoadCall(calls.GenRenderbuffers, "glGenRenderbuffers");
    LoadCall(calls.DeleteRenderbuffers, "glDeleteRenderbuffers");
    LoadCall(calls.BindRenderbuffer, "glBindRenderbuffer");
    LoadCall(calls.RenderbufferStorage, "glRenderbufferStorage");
    LoadCall(calls.FramebufferRenderbuffer, "glFramebufferRenderbuffer");
    LoadCall(calls.CheckFramebufferStatus, "glCheckFramebufferStatus");
    LoadCall(calls.BlitFramebuffer, "glBlitFramebuffer");
    return calls.GenFramebuffers && calls.DeleteFramebuffers && calls.BindFramebuffer &&
           calls.GenRenderbuffers && calls.DeleteRenderbuffers && calls.BindRenderbuffer &&
           calls.RenderbufferStorage && calls.FramebufferRenderbuffer &&
           calls.CheckFramebufferStatus && calls.BlitFramebuffer;
}

void DeleteFrame(DisplayState& display) {
    if (!display.Framebuffer) return;
    const FramebufferCalls& gl = display.Calls;
    gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.DeleteFramebuffers(1, &display.Framebuffer);
    gl.DeleteRenderbuffers(1, &display.ColorBuffer);
    gl.DeleteRenderbuffers(1, &display.DepthBuffer);
    display.Framebuffer = display.ColorBuffer = display.DepthBuffer = 0;
}

GLuint MakeRenderbuffer(const FramebufferCalls& gl, GLenum format, int width, int height) {
    GLuint buffer = 0;
    gl.GenRenderbuffers(1, &buffer);
    gl.BindRenderbuffer(GL_RENDERBUFFER, buffer);
    gl.RenderbufferStorage(GL_RENDERBUFFER, format, width, height);
    gl.BindRenderbuffer(GL_RENDERBUFFER, 0);
    return buffer;
}

// A frame of the program's size with colour and depth; without one the program draws straight
// into the window, unscaled.
void MakeFrame(DisplayState& display, EngineLogFile& log) {
    DeleteFrame(display);
    if (!LoadFramebufferCalls(display.Calls)) {
        WriteLog(log, "Error: no framebuffer objects: the frame is drawn straight to the window");
        return;
    }
    const FramebufferCalls& gl = display.Calls;
    display.ColorBuffer = MakeRenderbuffer(gl, GL_RGBA8, display.FrameWidth, display.FrameHeight);
    display.DepthBuffer =
        MakeRenderbuffer(gl, GL_DEPTH24_STENCIL8, display.FrameWidth, display.FrameHeight);
    gl.GenFramebuffers(1, &display.Framebuffer);
    gl.BindFramebuffer(GL_FRAMEBUFFER, display.Framebuffer);
    gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                               display.ColorBuffer);
    gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                               display.DepthBuffer);
    if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        DeleteFrame(display);
        WriteLog(log, "Error: the offscreen frame is incomplete: drawn straight to the window");
    }
}

void SetContextAttributes(int colorBits) {
    const bool deep = colorBits > 16;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, deep ? 8 : 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, deep ? 8 : 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, deep ? 8 : 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
}

// A full-screen window opens over the whole display: some drivers keep a window's first size.
bool OpenWindow(DisplayState& display, EngineLogFile& log, bool fullScreen, int width, int height,
                int colorBits) {
    SetContextAttributes(colorBits);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE;
    SDL_Rect place{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height};
    if (fullScreen && SDL_GetDisplayBounds(0, &place) == 0) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    display.Window =
        SDL_CreateWindow(display.Caption.c_str(), place.x, place.y, place.w, place.h, flags);
    if (!display.Window) {
        WriteLog(log, std::string("Error: cannot open the window: ") + SDL_GetError());
        return false;
    }
    display.Context = SDL_GL_CreateContext(display.Window);
    if (!display.Context) {
        WriteLog(log, std::string("Error: no OpenGL context: ") + SDL_GetError());
        SDL_DestroyWindow(display.Window);
        display.Window = nullptr;
        return false;
    }
    auto text = [](GLenum name) {
        const GLubyte* value = glGetString(name);
        return value ? std::string(reinterpret_cast<const char*>(value)) : std::string("?");
    };
    WriteLog(log,
             "OpenGL: " + text(GL_VENDOR) + ", " + text(GL_RENDERER) + ", " + text(GL_VERSION));
    return true;
}

// A window manager makes the window cover the display; without one (a bare X server) it would keep
// its size while SDL reports the display's, so the window is placed over the display first. Back in
// a window it takes the frame's size again.
void ApplyFullScreen(DisplayState& display) {
    SDL_Window* window = display.Window;
    SDL_Rect bounds{};
    if (display.FullScreen) {
        if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &bounds) == 0) {
            SDL_SetWindowPosition(window, bounds.x, bounds.y);
            SDL_SetWindowSize(window, bounds.w, bounds.h);
        }
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(window, 0);
        SDL_SetWindowSize(window, display.FrameWidth, display.FrameHeight);
        SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
}

void LogMode(const DisplayState& display, EngineLogFile& log) {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(display.Window, &width, &height);
    WriteLog(log, std::string("Mode: ") + (display.FullScreen ? "full screen " : "window ") +
                      std::to_string(width) + "x" + std::to_string(height) + ", frame " +
                      std::to_string(display.FrameWidth) + "x" +
                      std::to_string(display.FrameHeight));
}

} // namespace

FitRect LetterboxRect(int frameWidth, int frameHeight, int screenWidth, int screenHeight) {
    if (frameWidth <= 0 || frameHeight <= 0 || screenWidth <= 0 || screenHeight <= 0) return {};
    const int64_t fw = frameWidth, fh = frameHeight, sw = screenWidth, sh = screenHeight;
    FitRect fit;
    if (sw * fh <= sh * fw) {
        fit.Width = screenWidth;
        fit.Height = static_cast<int>((sw * fh * 2 + fw) / (fw * 2));
    } else {
        fit.Height = screenHeight;
        fit.Width = static_cast<int>((sh * fw * 2 + fh) / (fh * 2));
    }
    fit.X = (screenWidth - fit.Width) / 2;
    fit.Y = (screenHeight - fit.Height) / 2;
    return fit;
}

GLenum ScaleFilter(int frameWidth, int frameHeight, const FitRect& fit) {
    if (frameWidth <= 0 || frameHeight <= 0) return GL_NEAREST;
    const bool whole = fit.Width % frameWidth == 0 && fit.Height % frameHeight == 0 &&
                       fit.Width / frameWidth == fit.Height / frameHeight;
    return whole ? GL_NEAREST : GL_LINEAR;
}

int FrameRateCap(int displayHz, int requestedHz) {
    int rate = displayHz > 0 ? displayHz : DefaultFrameRate;
    if (requestedHz > 0) rate = std::min(rate, requestedHz);
    return std::min(rate, MaxFrameRate);
}

bool SetDisplayMode(DisplayState& display, EngineLogFile& log, bool fullScreen, int width,
                    int height, int colorBits, int refreshHz) {
    if (width <= 0 || height <= 0 || width > MaxFrameSize || height > MaxFrameSize) {
        WriteLog(log, "Error: no mode of " + std::to_string(width) + "x" + std::to_string(height));
        return false;
    }
    if (!display.Window && !OpenWindow(display, log, fullScreen, width, height, colorBits))
        return false;
    const bool resized = width != display.FrameWidth || height != display.FrameHeight;
    display.FrameWidth = width;
    display.FrameHeight = height;
    display.FullScreen = fullScreen;
    display.RefreshHz = refreshHz;
    ApplyFullScreen(display);
    display.Repaint = true;
    if (resized) MakeFrame(display, log);
    ApplyVSync(display, log);
    LogMode(display, log);
    BeginFrame(display);
    return true;
}

void SetDisplayCaption(DisplayState& display, const std::string& utf8) {
    display.Caption = utf8;
    if (display.Window) SDL_SetWindowTitle(display.Window, utf8.c_str());
}

void ToggleFullScreen(DisplayState& display, EngineLogFile& log) {
    if (!display.Window) return;
    display.FullScreen = !display.FullScreen;
    display.Repaint = true;
    ApplyFullScreen(display);
    LogMode(display, log);
}

void ApplyVSync(DisplayState& display, EngineLogFile& log) {
    if (!display.Context) return;
    // Some drivers accept the interval without honouring it; only a read-back 1 counts.
    display.VSync =
        display.VSyncWanted && SDL_GL_SetSwapInterval(1) == 0 && SDL_GL_GetSwapInterval() == 1;
    if (!display.VSync) SDL_GL_SetSwapInterval(0);
    WriteLog(log, display.VSync
                      ? std::string("Vertical sync on")
                      : "Frames capped at " + std::to_string(1000000 / FramePeriodUs(display)) +
                            " a second");
}

int64_t FramePeriodUs(const DisplayState& display) {
    SDL_DisplayMode mode{};
    const int index = display.Window ? SDL_GetWindowDisplayIndex(display.Window) : -1;
    const int displayHz =
        index >= 0 && SDL_GetCurrentDisplayMode(index, &mode) == 0 ? mode.refresh_rate : 0;
    return 1000000 / FrameRateCap(displayHz, display.RefreshHz);
}

void BeginFrame(DisplayState& display) {
    if (display.Framebuffer) display.Calls.BindFramebuffer(GL_FRAMEBUFFER, display.Framebuffer);
    glViewport(0, 0, display.FrameWidth, display.FrameHeight);
}

bool FrameDiffers(DisplayState& display) {
    if (!display.Framebuffer) return true;
    const size_t size = static_cast<size_t>(display.FrameWidth) * display.FrameHeight * 4;
    display.NewPixels.resize(size);
    display.Calls.BindFramebuffer(GL_READ_FRAMEBUFFER, display.Framebuffer);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, display.FrameWidth, display.FrameHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                 display.NewPixels.data());
    glPopClientAttrib();
    const bool same = !display.Repaint && display.ShownPixels.size() == size &&
                      std::memcmp(display.ShownPixels.data(), display.NewPixels.data(), size) == 0;
    if (same) return false;
    display.ShownPixels.swap(display.NewPixels);
    display.Repaint = false;
    return true;
}

FitRect PresentFrame(DisplayState& display) {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(display.Window, &width, &height);
    if (!display.Framebuffer) {
        SDL_GL_SwapWindow(display.Window);
        return FitRect{0, 0, display.FrameWidth, display.FrameHeight};
    }
    const FramebufferCalls& gl = display.Calls;
    const FitRect fit = LetterboxRect(display.FrameWidth, display.FrameHeight, width, height);
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, display.Framebuffer);
    gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    // Bars only where the frame leaves room; a software renderer pays for every cleared pixel.
    if (fit.Width != width || fit.Height != height) {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    gl.BlitFramebuffer(0, 0, display.FrameWidth, display.FrameHeight, fit.X, fit.Y,
                       fit.X + fit.Width, fit.Y + fit.Height, GL_COLOR_BUFFER_BIT,
                       ScaleFilter(display.FrameWidth, display.FrameHeight, fit));
    glPopAttrib();
    SDL_GL_SwapWindow(display.Window);
    gl.BindFramebuffer(GL_FRAMEBUFFER, display.Framebuffer);
    return fit;
}

void CloseDisplay(DisplayState& display) {
    if (display.Context) {
        DeleteFrame(display);
        SDL_GL_DeleteContext(display.Context);
    }
    if (display.Window) SDL_DestroyWindow(display.Window);
    display = DisplayState{};
}
