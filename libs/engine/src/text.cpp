#include "text.h"

#include "platform/cp1251.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>

namespace {

// Text placed farther out than this is off any screen; holding it here keeps the pen arithmetic
// small.
constexpr float MaxTextOffset = 1e6f;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the well-formed sequence at `at` (shortest form, no surrogates, at most U+10FFFF),
// or 0.
size_t Utf8SequenceLength(const uint8_t* at) {
    const uint8_t lead = at[0];
    if (lead < 0x80) return 1;
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4) return 0;
    for (size_t i = 1; i < length; ++i)
        if ((at[i] & 0xC0) != 0x80) return 0;
    // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
    if ((lead == 0xE0 && at[1] < 0xA0) || (lead == 0xED && at[1] > 0x9F) ||
        (lead == 0xF0 && at[1] < 0x90) || (lead == 0xF4 && at[1] > 0x8F))
        return 0;
    return length;
}

char32_t Utf8Value(const uint8_t* at, size_t length) {
    if (length == 1) return at[0];
    char32_t value = at[0] & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) value = (value << 6) | (at[i] & 0x3F);
    return value;
}

// Renders the character and keeps its coverage as an alpha texture.
Glyph MakeGlyph(FT_Face face, char32_t c) {
    Glyph glyph;
    if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0) return glyph;
    const FT_GlyphSlot slot = face->glyph;
    glyph.Advance = static_cast<int>(slot->advance.x >> 6);
    glyph.Left = slot->bitmap_left;
    glyph.Top = slot->bitmap_top;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.width == 0 || bitmap.rows == 0 || bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
        return glyph;
    glyph.Width = static_cast<int>(bitmap.width);
    glyph.Height = static_cast<int>(bitmap.rows);
    std::vector<uint8_t> coverage(static_cast<size_t>(glyph.Width) * glyph.Height);
    for (int row = 0; row < glyph.Height; ++row)
        for (int column = 0; column < glyph.Width; ++column)
            coverage[static_cast<size_t>(row) * glyph.Width + column] =
                bitmap.buffer[row * bitmap.pitch + column];

    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, glyph.Width, glyph.Height, 0, GL_ALPHA,
                 GL_UNSIGNED_BYTE, coverage.data());
    glPopClientAttrib();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    glyph.Texture = texture;
    return glyph;
}

const Glyph& FindGlyph(Font& font, char32_t c) {
    auto found = font.Glyphs.find(c);
    if (found != font.Glyphs.end()) return found->second;
    return font.Glyphs.emplace(c, MakeGlyph(font.Face, c)).first->second;
}

bool OpenFace(TextState& text, const char* faceName, int32_t size, Font& font) {
    FontFile file = FindFontFile(faceName);
    if (file.Path.empty()) return false;
    if (FT_New_Face(text.Library, file.Path.c_str(), file.Index, &font.Face) != 0) return false;
    if (FT_Set_Pixel_Sizes(font.Face, 0, static_cast<FT_UInt>(size)) != 0) {
        FT_Done_Face(font.Face);
        font.Face = nullptr;
        return false;
    }
    font.Ascender = static_cast<int>((font.Face->size->metrics.ascender + 63) >> 6);
    return true;
}

// Handle 0 when the default font cannot be had.
Font* FontOfHandle(TextState& text, int32_t handle) {
    if (handle < 0 || static_cast<size_t>(handle) >= text.Fonts.size()) return nullptr;
    if (handle == 0 && !text.DefaultTried) {
        text.DefaultTried = true;
        OpenFace(text, DefaultFontFace, DefaultFontSize, text.Fonts[0]);
    }
    Font& font = text.Fonts[static_cast<size_t>(handle)];
    return font.Face ? &font : nullptr;
}

void DrawGlyph(const Glyph& glyph, int penX, int baseline) {
    const float left = static_cast<float>(penX + glyph.Left);
    const float top = static_cast<float>(baseline - glyph.Top);
    const float right = left + static_cast<float>(glyph.Width);
    const float bottom = top + static_cast<float>(glyph.Height);
    glBindTexture(GL_TEXTURE_2D, glyph.Texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(left, top);
    glTexCoord2f(1, 0);
    glVertex2f(right, top);
    glTexCoord2f(1, 1);
    glVertex2f(right, bottom);
    glTexCoord2f(0, 1);
    glVertex2f(left, bottom);
    glEnd();
}

// The program's matrices, put back after the text; copies rather than the matrix stacks, whose
// projection stack may hold as few as two entries.
struct SavedMatrices {
    GLfloat Projection[16];
    GLfloat ModelView[16];
    GLint Mode;
};

// Pixel coordinates of the current viewport, (0, 0) at its top left, for the glyphs to land on
// whole pixels whatever projection the program has set.
SavedMatrices BeginPixelSpace() {
    SavedMatrices saved{};
    glGetFloatv(GL_PROJECTION_MATRIX, saved.Projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, saved.ModelView);
    glGetIntegerv(GL_MATRIX_MODE, &saved.Mode);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, viewport[2], viewport[3], 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return saved;
}

void EndPixelSpace(const SavedMatrices& saved) {
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(saved.Projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(saved.ModelView);
    glMatrixMode(static_cast<GLenum>(saved.Mode));
}

} // namespace

std::u32string DecodeCp1251(const char* text) {
    std::u32string decoded;
    if (!text) return decoded;
    for (; *text; ++text) decoded += Cp1251ToUnicode(static_cast<uint8_t>(*text));
    return decoded;
}

std::u32string DecodeUtf8(const char* text) {
    std::u32string decoded;
    if (!text) return decoded;
    const auto* at = reinterpret_cast<const uint8_t*>(text);
    while (*at) {
        const size_t length = Utf8SequenceLength(at);
        decoded += length ? Utf8Value(at, length) : U'\uFFFD';
        at += length ? length : 1;
    }
    return decoded;
}

std::string EncodeUtf8(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) AppendUtf8(out, c);
    return out;
}

FontFile FindFontFile(const char* faceName) {
    FontFile found;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return found;
    if (faceName && *faceName)
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
    // A substitute must carry the games' two scripts, Latin and Cyrillic.
    FcLangSet* languages = FcLangSetCreate();
    if (languages) {
        FcLangSetAdd(languages, reinterpret_cast<const FcChar8*>("en"));
        FcLangSetAdd(languages, reinterpret_cast<const FcChar8*>("ru"));
        FcPatternAddLangSet(pattern, FC_LANG, languages);
        FcLangSetDestroy(languages);
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return found;
    FcChar8* path = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
        found.Path = reinterpret_cast<const char*>(path);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &found.Index) != FcResultMatch) found.Index = 0;
    }
    FcPatternDestroy(match);
    return found;
}

bool StartText(TextState& text) {
    if (FT_Init_FreeType(&text.Library) != 0) return false;
    text.Fonts.assign(1, Font{});
    text.DefaultTried = false;
    return true;
}

void StopText(TextState& text) {
    for (Font& font : text.Fonts) {
        for (auto& [c, glyph] : font.Glyphs)
            if (glyph.Texture) glDeleteTextures(1, &glyph.Texture);
        if (font.Face) FT_Done_Face(font.Face);
    }
    text.Fonts.clear();
    if (text.Library) FT_Done_FreeType(text.Library);
    text.Library = nullptr;
}

int32_t LoadFont(TextState& text, const char* faceName, int32_t size, EngineLogFile& log) {
    const std::string name = faceName ? faceName : "";
    if (!text.Library || size <= 0 || size > MaxFontSize) {
        WriteLog(log, "Error: no font \"" + name + "\" of size " + std::to_string(size));
        return 0;
    }
    Font font;
    if (!OpenFace(text, faceName, size, font)) {
        WriteLog(log, "Error: cannot load font \"" + name + "\"");
        return 0;
    }
    WriteLog(log, "Font \"" + name + "\" " + std::to_string(size) + ": " + font.Face->family_name +
                      " " + font.Face->style_name);
    text.Fonts.push_back(std::move(font));
    return static_cast<int32_t>(text.Fonts.size() - 1);
}

void DrawText(TextState& text, int32_t handle, const std::u32string& line, float x, float y) {
    Font* font = FontOfHandle(text, handle);
    if (!font || line.empty() || !std::isfinite(x) || !std::isfinite(y)) return;
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // The program's own blending (additive in the game) applies; without any, plain alpha blending.
    if (!glIsEnabled(GL_BLEND)) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    const SavedMatrices saved = BeginPixelSpace();
    int penX = static_cast<int>(std::lround(std::clamp(x, -MaxTextOffset, MaxTextOffset)));
    const int baseline =
        static_cast<int>(std::lround(std::clamp(y, -MaxTextOffset, MaxTextOffset))) +
        font->Ascender;
    for (char32_t c : line) {
        if (c < 0x20) continue;
        if (penX > 2 * MaxTextOffset) break;
        const Glyph& glyph = FindGlyph(*font, c);
        if (glyph.Texture) DrawGlyph(glyph, penX, baseline);
        penX += glyph.Advance;
    }
    EndPixelSpace(saved);
    glPopAttrib();
}
