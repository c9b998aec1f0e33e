// Textures made from pixels in memory and bound for the program's drawing.
#pragma once

#include "log.h"

#include <cstdint>

// Bytes per pixel of an OpenGL client pixel format, 0 for a format the engine does not take.
int BytesPerPixel(uint32_t format);

// Uploads the pixels; 0 (and a log line) when the arguments do not describe a whole image: unknown
// format, a component count that disagrees with it, no pixels, or a size outside 1..the GL maximum.
int32_t CreateGLTexture(EngineLogFile& log, const char* name, int32_t components, uint32_t format,
                        int32_t width, int32_t height, const void* pixels, bool clamp, bool linear,
                        bool mipmaps);
void EnableGLTexture(int32_t id, int32_t unit);
void DisableGLTexture(int32_t unit);
