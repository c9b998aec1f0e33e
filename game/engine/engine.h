// The Game's platform layer: one window with a double-buffered OpenGL context, the two projections,
// keyboard and mouse state, the message pump, frame begin and end, and a few utility functions.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct TScreenSettings {
    int32_t Width = 0; // window (and full-screen display) size in pixels
    int32_t Height = 0;
    int32_t VirtualWidth = 0; // size of the 2D coordinate space; always 800 by 600
    int32_t VirtualHeight = 0;
    int32_t ColorBits = 0; // colour depth; also the depth-buffer bits asked for
    int32_t Frequency = 0; // refresh rate to request; 0 leaves it alone
    bool FullScreen = false;
};

// A rectangle of the window in pixels, from its left and top (or bottom, for OpenGL) edge.
struct TViewRect {
    int32_t X = 0, Y = 0, Width = 0, Height = 0;
};

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

// Win32 virtual-key codes, the index of `Keys`. The mouse buttons sit at 1, 2 and 4.
enum : uint8_t {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_MBUTTON = 0x04,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_J = 0x4A,
    VK_M = 0x4D,
    VK_S = 0x53,
    VK_F1 = 0x70,
    VK_F12 = 0x7B,
};

// True while the key or button is down; a reader may clear an entry to consume a press.
extern bool Keys[256];
// Whether the key or button went down (key repeat aside) since the last call for it, even when it
// was released again before anyone looked; the call takes the press, so it counts once.
bool TakePress(uint8_t code);
// Forgets every press not yet taken: only presses made from now on count.
void ForgetPresses();
// The last mouse position in client-area pixels.
extern TPoint MousePos;
// True from a successful InitEngine until the window closes or the game asks to stop.
extern bool EngineRunning;

// From now on a termination request (SIGTERM, Ctrl+C) is only noted; ProcessMessages then stops
// the game as a closed window does, so the shutdown steps run and the log is complete.
void CatchQuitSignals();
// Opens the window (full screen changes the display mode) with a current OpenGL context.
bool InitEngine(const std::string& caption, TScreenSettings settings);
// Why the last InitEngine failed, one line with no line end; empty after a success.
const std::string& StartFailureText();
// Full-screen display change to the size, depth and rate (0 leaves a value alone).
bool SetDisplayMode(int32_t width, int32_t height, int32_t bits, int32_t frequency);
bool RestoreDisplayMode();
// Perspective (45 degrees) or the 2D space with (0, 0) at the top left, in the letterboxed part
// of the window whatever its size (the window may be resized, and Alt+Enter makes it cover the
// desktop); resets the model-view matrix.
void SetProjection(bool perspective);
TScreenSettings GetScreenSettings();
// The largest rectangle of the virtual space's shape that fits a window of the size, centred, so
// that black bars fill the rest; all zero for a size of nothing.
TViewRect LetterboxRect(int32_t width, int32_t height, int32_t virtualWidth, int32_t virtualHeight);
// A point of the window (as MousePos gives it) in the 2D space's units, through the letterbox the
// picture is drawn in; outside the picture it lies outside 0..800 and 0..600.
void WindowToSpace(TPoint point, double& x, double& y);
// Handles every pending window event; true when at least one was handled.
bool ProcessMessages();
// Handles pending window events and tells whether the game was asked to stop since the engine
// started (never before it did); long loads ask between chunks so that a quit is answered at once.
bool QuitRequested();
void BeginFrame();
void EndFrame();

// A uniform integer from 0 to n - 1 (0 when n < 1) from the one generator InitEngine seeds.
int32_t Random(int32_t n);
void SeedRandom(uint64_t seed);
// Milliseconds from an arbitrary start, wrapping at 2^32; read through TickSource, which tests may
// point at a clock of their own.
uint32_t GetTickCount();
extern uint32_t (*TickSource)();
// Whether the file exists, is a regular file, and can be opened for reading.
bool FileExists(const std::string& name);
// The regular file opened for binary reading, or null. A named pipe, a device or a folder is
// refused at once, without waiting for a writer.
std::FILE* OpenRegularFile(const std::string& name);
// The regular file created or emptied for binary writing, or null; as above, anything else that
// stands under the name, a link too, is refused at once and left as it is.
std::FILE* RewriteRegularFile(const std::string& name);
// Replaces the file's content in one step: the bytes go to a new temporary file beside it, which
// is then renamed over the name, so a reader or a second writer never meets a part. False, with
// the old file as it was and no temporary file left, when any step fails.
bool ReplaceFileAtomically(const std::string& name, const std::string& bytes);
// The whole regular file, when it holds at most `limit` bytes; false otherwise.
bool ReadFileWithin(const std::string& name, size_t limit, std::vector<uint8_t>& bytes);
std::string IntToText(int32_t value);
// Decimal or hexadecimal ("$", "x", "0x") digits after blanks and a sign; stops at the first bad
// character or before an overflow and returns what it read; the sign counts only for a whole text.
int32_t TextToInt(const std::string& text);
