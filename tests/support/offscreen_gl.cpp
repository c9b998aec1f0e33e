#include "offscreen_gl.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>

bool OpenOffscreenGL(OffscreenGL& gl, int width, int height) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    gl.Window =
        SDL_CreateWindow("test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!gl.Window) return false;
    gl.Context = SDL_GL_CreateContext(gl.Window);
    if (!gl.Context) {
        CloseOffscreenGL(gl);
        return false;
    }
    gl.Width = width;
    gl.Height = height;
    glViewport(0, 0, width, height);
    return true;
}

void CloseOffscreenGL(OffscreenGL& gl) {
    if (gl.Context) SDL_GL_DeleteContext(gl.Context);
    if (gl.Window) SDL_DestroyWindow(gl.Window);
    gl = OffscreenGL{};
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool EnsureContext(int width, int height) {
    static OffscreenGL gl;
    static bool open = OpenOffscreenGL(gl, width, height);
    return open;
}

std::vector<uint8_t> ReadPixelsRGBA(int x, int y, int width, int height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

bool SaveFramebufferPPM(const std::string& path, int width, int height) {
    std::vector<uint8_t> pixels = ReadPixelsRGBA(0, 0, width, height);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    for (int row = height - 1; row >= 0; --row)
        for (int column = 0; column < width; ++column)
            std::fwrite(&pixels[(static_cast<size_t>(row) * width + column) * 4], 1, 3, file);
    return std::fclose(file) == 0;
}
