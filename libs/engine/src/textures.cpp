#include "textures.h"

#include <GL/gl.h>

#include <string>

namespace {

GLint InternalFormat(int32_t components, uint32_t format) {
    if (format == GL_ALPHA) return GL_ALPHA8;
    switch (components) {
    case 1:
        return GL_LUMINANCE8;
    case 2:
        return GL_LUMINANCE8_ALPHA8;
    case 3:
        return GL_RGB8;
    default:
        return GL_RGBA8;
    }
}

bool ValidUnit(int32_t unit) {
    GLint units = 1;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
    return unit >= 0 && unit < units;
}

} // namespace

int BytesPerPixel(uint32_t format) {
    switch (format) {
    case GL_RGBA:
    case GL_BGRA:
        return 4;
    case GL_RGB:
    case GL_BGR:
        return 3;
    case GL_LUMINANCE_ALPHA:
        return 2;
    case GL_LUMINANCE:
    case GL_ALPHA:
    case GL_RED:
        return 1;
    default:
        return 0;
    }
}

int32_t CreateGLTexture(EngineLogFile& log, const char* name, int32_t components, uint32_t format,
                        int32_t width, int32_t height, const void* pixels, bool clamp, bool linear,
                        bool mipmaps) {
    const std::string label = name ? name : "";
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (BytesPerPixel(format) == 0 || BytesPerPixel(format) != components || !pixels ||
        width <= 0 || height <= 0 || width > maxSize || height > maxSize) {
        WriteLog(log, "Error: texture \"" + label + "\" has bad arguments");
        return 0;
    }
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const GLint wrap = clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    const GLint magnify = linear ? GL_LINEAR : GL_NEAREST;
    const GLint minify = !mipmaps ? magnify
                         : linear ? GL_LINEAR_MIPMAP_LINEAR
                                  : GL_NEAREST_MIPMAP_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnify);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minify);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, mipmaps ? GL_TRUE : GL_FALSE);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, InternalFormat(components, format), width, height, 0, format,
                 GL_UNSIGNED_BYTE, pixels);
    glPopClientAttrib();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    WriteLog(log, "Texture \"" + label + "\" " + std::to_string(width) + "x" +
                      std::to_string(height) + " is " + std::to_string(texture));
    return static_cast<int32_t>(texture);
}

void EnableGLTexture(int32_t id, int32_t unit) {
    if (id <= 0 || !ValidUnit(unit)) return;
    glActiveTexture(GL_TEXTURE0 + unit);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(id));
    glActiveTexture(GL_TEXTURE0);
}

void DisableGLTexture(int32_t unit) {
    if (!ValidUnit(unit)) return;
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE0);
}
