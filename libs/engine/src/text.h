// Text: Windows-1251 decoding, fonts found through fontconfig and drawn from FreeType glyphs.
#pragma once

#include "log.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

std::u32string DecodeCp1251(const char* text);
// Each malformed byte becomes U+FFFD.
std::u32string DecodeUtf8(const char* text);
std::string EncodeUtf8(const std::u32string& text);

struct FontFile {
    std::string Path; // empty when fontconfig knows no font at all
    int Index = 0;    // the face within the file
};

// The file of the face, or of fontconfig's closest substitute for it.
FontFile FindFontFile(const char* faceName);

// One glyph as a texture of coverage values, placed relative to the pen on the baseline.
struct Glyph {
    uint32_t Texture = 0; // 0 for glyphs without pixels, such as the space
    int Width = 0;
    int Height = 0;
    int Left = 0;
    int Top = 0; // rows above the baseline
    int Advance = 0;
};

struct Font {
    FT_Face Face = nullptr;
    int Ascender = 0; // pixels from the top of a line to its baseline
    std::unordered_map<char32_t, Glyph> Glyphs;
};

// Handle 0 is the default font, loaded at its first use.
struct TextState {
    FT_Library Library = nullptr;
    std::vector<Font> Fonts;
    bool DefaultTried = false;
};

constexpr const char* DefaultFontFace = "sans-serif";
constexpr int DefaultFontSize = 16;
constexpr int MaxFontSize = 512;

bool StartText(TextState& text);
// Frees glyph textures too, so the OpenGL context must still be current.
void StopText(TextState& text);
// A handle for the face at `size` pixels, or 0 when it cannot be loaded.
int32_t LoadFont(TextState& text, const char* faceName, int32_t size, EngineLogFile& log);
// Draws in viewport pixels, (x, y) the top-left corner of the line, in the current colour.
void DrawText(TextState& text, int32_t font, const std::u32string& line, float x, float y);
