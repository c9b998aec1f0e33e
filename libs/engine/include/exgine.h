// The engine library: a window with an OpenGL context, a fixed-step main loop, a clock, keyboard
// state, bitmap-font text and textures, reached through reference-counted interfaces from exInit.
// The program draws with OpenGL calls of its own between the engine's calls.
#pragma once

#include <cstdint>

#if defined(EXGINE_BUILD)
#define EXGINE_API __attribute__((visibility("default")))
#else
#define EXGINE_API
#endif

// A parameterless procedure that the main loop calls.
using EngineProc = void (*)();

// Every interface counts its holders; the engine shuts down when the last reference of any of its
// interfaces is released. Both calls return the count after the change.
struct IEngineObject {
    virtual int32_t AddRef() = 0;
    virtual int32_t Release() = 0;

  protected:
    ~IEngineObject() = default;
};

// Writes lines into the engine's log file.
struct IEngineLog : IEngineObject {
    virtual void Print(const char* text) = 0;

  protected:
    ~IEngineLog() = default;
};

struct IEngineWindow : IEngineObject {
    // `ansi` true: the text is in Windows-1251 (as the program's own texts); false: UTF-8.
    virtual void SetCaption(const char* text, bool ansi) = 0;
    // Opens the window with a current OpenGL context on the first call, changes it later. The
    // program draws a frame of width x height, shown scaled to fit the window with its aspect
    // kept. Full screen uses the desktop as it is; refreshHz caps the frame rate without vsync.
    virtual bool SetMode(bool fullScreen, int32_t width, int32_t height, int32_t colorBits,
                         int32_t refreshHz) = 0;

  protected:
    ~IEngineWindow() = default;
};

// Flags of SetRenderFlag.
constexpr int32_t RenderFlagVSync = 1; // wait for the display's vertical blank when it allows
constexpr int32_t RenderFlagUtf8 = 2;  // PrintText takes UTF-8 instead of Windows-1251

struct IEngineRender : IEngineObject {
    // Orthographic projection of the rectangle onto the current viewport, y growing downwards.
    virtual void Set2D(float x, float y, float width, float height) = 0;
    // A font of the face (or fontconfig's closest substitute) with an em of `size` pixels; 0,
    // the default font, when the face cannot be loaded.
    virtual int32_t CreateFont(const char* faceName, int32_t size) = 0;
    // Windows-1251 text (UTF-8 under RenderFlagUtf8) in the current colour, its top-left corner at
    // viewport pixel (x, y).
    virtual void PrintText(int32_t font, const char* text, float x, float y) = 0;
    virtual void SetRenderFlag(int32_t flags) = 0;

  protected:
    ~IEngineRender() = default;
};

// Keys are Win32 virtual-key codes (13 Enter, 27 Esc, 37-40 arrows, 'A'-'Z', '0'-'9', ...). A game
// controller plays keys too: the d-pad and the left stick the arrows, the south button holds Up and
// presses Enter, start presses Esc.
struct IEngineInput : IEngineObject {
    virtual bool KeyDown(int32_t virtualKey) = 0;
    // The key pressed for this update step, 0 when none. Every press (and every key repeat of a
    // held key) is reported in exactly one step; presses that arrive together queue for the next.
    virtual int32_t LastKey() = 0;

  protected:
    ~IEngineInput() = default;
};

struct IEngineTextures : IEngineObject {
    // A texture from rows of `components`-byte pixels of the OpenGL `format` (GL_RGBA, GL_RGB,
    // GL_LUMINANCE, ...). `clamp` 0 repeats outside 0..1; `linear` 1 filters linearly, 0 takes
    // the nearest texel; `mipmaps` 1 builds mipmaps. Returns the id, 0 on bad arguments.
    virtual int32_t CreateTexture(const char* name, int32_t components, uint32_t format,
                                  int32_t width, int32_t height, const void* pixels, int32_t clamp,
                                  int32_t linear, int32_t mipmaps) = 0;
    virtual void EnableTexture(int32_t id, int32_t unit) = 0;
    virtual void DisableTexture(int32_t unit) = 0;

  protected:
    ~IEngineTextures() = default;
};

// SetProc kinds.
constexpr int32_t ProcUpdate = 0;
constexpr int32_t ProcRender = 1;

struct IEngine : IEngineObject {
    // Each getter hands out a new reference that the caller releases.
    virtual IEngineLog* GetLog() = 0;
    virtual IEngineWindow* GetWindow() = 0;
    virtual IEngineRender* GetRender() = 0;
    virtual IEngineInput* GetInput() = 0;
    virtual IEngineTextures* GetTextures() = 0;
    virtual void SetProc(int32_t kind, EngineProc proc) = 0;
    // Milliseconds since the engine started, on a monotonic clock.
    virtual int32_t GetTime() = 0;
    // Calls the update procedure `rate` times a second and the render procedure once per shown
    // frame until Quit or the window closes.
    virtual void Run(int32_t rate) = 0;
    // Ends the loop after the current update step or frame.
    virtual void Quit() = 0;

  protected:
    ~IEngine() = default;
};

// Starts the engine, its log in the file `logName` (re-created). False, with `engine` null, when
// the video system cannot start or an engine is already running.
extern "C" EXGINE_API bool exInit(IEngine** engine, const char* logName);
