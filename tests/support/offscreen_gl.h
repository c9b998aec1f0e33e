// An OpenGL context without a display, for drawing tests: SDL's offscreen driver over Mesa
// llvmpipe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SDL_Window;

struct OffscreenGL {
    SDL_Window* Window = nullptr;
    void* Context = nullptr;
    int Width = 0;
    int Height = 0;
};

// Opens a hidden window of the size with a current compatibility context; false when none can be
// had.
bool OpenOffscreenGL(OffscreenGL& gl, int width, int height);
void CloseOffscreenGL(OffscreenGL& gl);

// A context of the size opened on the first call and kept for the program's life, for benchmarks;
// whether there is one.
bool EnsureContext(int width, int height);

// The RGBA bytes of the rectangle, rows bottom-up as OpenGL counts them.
std::vector<uint8_t> ReadPixelsRGBA(int x, int y, int width, int height);

// Writes the whole framebuffer as a binary PPM, top row first, for a person to look at.
bool SaveFramebufferPPM(const std::string& path, int width, int height);
