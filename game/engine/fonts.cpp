#include "fonts.h"

#include "platform/cp1251.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace {

constexpr int GlyphCount = 256;
constexpr int32_t NormalWeight = 400;
constexpr int32_t BoldWeight = 600; // from this weight on a font is bold
constexpr int32_t DefaultCellHeight = 16;
constexpr double MaxGlyphPixels = 512; // keeps absurd sizes from making huge bitmaps
constexpr FT_Long MaxFacesPerFile = 256;

struct TRegisteredFace {
    std::string Family;
    FT_Long Index = 0;
    int32_t Weight = NormalWeight;
    bool Italic = false;
};

struct TRegisteredFont {
    std::string Path; // absolute and normalised, so one file is one entry
    int32_t Count = 0;
    std::vector<TRegisteredFace> Faces;
};

std::vector<TRegisteredFont> RegisteredFonts;

// One face of a file with its own FreeType instance, both released when it goes out of scope.
struct FreeTypeFace {
    FT_Library Library = nullptr;
    FT_Face Face = nullptr;

    FreeTypeFace(const std::string& path, FT_Long index) {
        if (FT_Init_FreeType(&Library) != 0) {
            Library = nullptr;
            return;
        }
        if (FT_New_Face(Library, path.c_str(), index, &Face) != 0) Face = nullptr;
    }
    ~FreeTypeFace() {
        if (Face) FT_Done_Face(Face);
        if (Library) FT_Done_FreeType(Library);
    }
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;
};

std::string RegistryKey(const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

int32_t FaceWeight(FT_Face face) {
    auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWeightClass >= 1 && os2->usWeightClass <= 1000)
        return os2->usWeightClass;
    return (face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : NormalWeight;
}

std::vector<TRegisteredFace> ReadFaces(const std::string& path) {
    std::vector<TRegisteredFace> faces;
    FT_Long count = 1;
    for (FT_Long index = 0; index < count && index < MaxFacesPerFile; ++index) {
        FreeTypeFace font(path, index);
        if (!font.Face) break;
        count = font.Face->num_faces;
        faces.push_back({font.Face->family_name ? font.Face->family_name : "", index,
                         FaceWeight(font.Face),
                         (font.Face->style_flags & FT_STYLE_FLAG_ITALIC) != 0});
    }
    return faces;
}

struct TFaceChoice {
    std::string Path;
    FT_Long Index = 0;
};

// The registered upright face of that family nearest to the weight.
bool FindRegisteredFace(const std::string& name, int32_t weight, TFaceChoice& choice) {
    if (name.empty()) return false;
    int32_t bestScore = INT32_MAX;
    for (const TRegisteredFont& font : RegisteredFonts)
        for (const TRegisteredFace& face : font.Faces) {
            if (!SameName(face.Family, name)) continue;
            int32_t score = std::abs(face.Weight - weight) + (face.Italic ? 1000 : 0);
            if (score >= bestScore) continue;
            bestScore = score;
            choice = {font.Path, face.Index};
        }
    return bestScore != INT32_MAX;
}

// The system's sans-serif face for the weight, as fontconfig picks it.
bool FindDefaultFace(int32_t weight, TFaceChoice& choice) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return false;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(std::clamp(weight, 1, 1000)));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcChar8* file = nullptr;
    int index = 0;
    bool found = match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
    if (found) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        choice = {reinterpret_cast<const char*>(file), index};
    }
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return found;
}

// The font's cell (ascent plus descent) in font units, which a positive height measures.
double CellUnits(FT_Face face) {
    auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0)
        return os2->usWinAscent + os2->usWinDescent;
    if (face->ascender - face->descender > 0) return face->ascender - face->descender;
    return face->units_per_EM;
}

double AverageWidthUnits(FT_Face face) {
    auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0) return os2->xAvgCharWidth;
    double sum = 0;
    int count = 0;
    for (FT_ULong code = 0x20; code < 0x7F; ++code) {
        FT_Fixed advance = 0;
        FT_UInt glyph = FT_Get_Char_Index(face, code);
        if (glyph == 0 || FT_Get_Advance(face, glyph, FT_LOAD_NO_SCALE, &advance) != 0) continue;
        sum += double(advance);
        ++count;
    }
    return sum > 0 ? sum / count : face->units_per_EM / 2.0;
}

bool SelectNearestStrike(FT_Face face, double cellPixels) {
    if (face->num_fixed_sizes <= 0) return false;
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i)
        if (std::abs(face->available_sizes[i].height - cellPixels) <
            std::abs(face->available_sizes[best].height - cellPixels))
            best = i;
    return FT_Select_Size(face, best) == 0;
}

// Scales the face as CreateFontA's height and width ask.
bool SetGlyphSize(FT_Face face, int32_t width, int32_t height) {
    double cellPixels = height == 0 ? DefaultCellHeight : std::abs(double(height));
    if (!FT_IS_SCALABLE(face)) return SelectNearestStrike(face, cellPixels);
    double upem = face->units_per_EM;
    double em = height < 0 ? cellPixels : cellPixels * upem / CellUnits(face);
    double across = em;
    if (width != 0) across = em * std::abs(double(width)) / (AverageWidthUnits(face) * em / upem);
    em = std::clamp(em, 1.0, MaxGlyphPixels);
    across = std::clamp(across, 1.0, MaxGlyphPixels);
    return FT_Set_Char_Size(face, FT_F26Dot6(std::lround(across * 64)),
                            FT_F26Dot6(std::lround(em * 64)), 72, 72) == 0;
}

// A valid pointer for glBitmap calls that draw nothing: Mesa fails to compile a null bitmap.
const GLubyte NoPixels[1] = {0};

// The glyph's rows bottom first and packed to whole bytes, as glBitmap reads them with an unpack
// alignment of 1.
void FlipRows(const FT_Bitmap& bitmap, std::vector<GLubyte>& rows) {
    size_t rowBytes = (bitmap.width + 7) / 8;
    rows.resize(rowBytes * bitmap.rows);
    size_t pitch = size_t(std::abs(bitmap.pitch));
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        unsigned fromTop = bitmap.pitch >= 0 ? row : bitmap.rows - 1 - row;
        const unsigned char* source = bitmap.buffer + size_t(fromTop) * pitch;
        std::copy(source, source + rowBytes, rows.begin() + (bitmap.rows - 1 - row) * rowBytes);
    }
}

// One list's content: the glyph drawn at the raster position, which then moves by the advance.
void CompileGlyph(FT_Face face, FT_UInt glyph, bool embolden, std::vector<GLubyte>& rows) {
    FT_Int32 flags = FT_LOAD_TARGET_MONO | (FT_IS_SCALABLE(face) ? FT_LOAD_NO_BITMAP : 0);
    if (FT_Load_Glyph(face, glyph, flags) != 0) return;
    FT_GlyphSlot slot = face->glyph;
    if (embolden) FT_GlyphSlot_Embolden(slot);
    GLfloat advance = std::round(GLfloat(slot->advance.x) / 64);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0 ||
        slot->bitmap.pixel_mode != FT_PIXEL_MODE_MONO || slot->bitmap.rows == 0 ||
        slot->bitmap.width == 0) {
        glBitmap(0, 0, 0, 0, advance, 0, NoPixels);
        return;
    }
    FlipRows(slot->bitmap, rows);
    GLsizei height = GLsizei(slot->bitmap.rows);
    glBitmap(GLsizei(slot->bitmap.width), height, GLfloat(-slot->bitmap_left),
             GLfloat(height - slot->bitmap_top), advance, 0, rows.data());
}

void CompileGlyphLists(FT_Face face, uint32_t base, bool embolden) {
    bool unicode = FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0;
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    std::vector<GLubyte> rows;
    for (int code = 0; code < GlyphCount; ++code) {
        glNewList(base + code, GL_COMPILE);
        FT_ULong character = unicode ? Cp1251ToUnicode(uint8_t(code)) : FT_ULong(code);
        CompileGlyph(face, FT_Get_Char_Index(face, character), embolden, rows);
        glEndList();
    }
    glPopClientAttrib();
}

// Lists that draw nothing, for when no face at all can be had.
void CompileEmptyLists(uint32_t base) {
    for (int code = 0; code < GlyphCount; ++code) {
        glNewList(base + code, GL_COMPILE);
        glEndList();
    }
}

} // namespace

int32_t AddFontResourceExA(const std::string& path, uint32_t flags) {
    if ((flags & FR_PRIVATE) == 0) return 0;
    std::string key = RegistryKey(path);
    for (TRegisteredFont& font : RegisteredFonts)
        if (font.Path == key) {
            ++font.Count;
            return int32_t(font.Faces.size());
        }
    std::vector<TRegisteredFace> faces = ReadFaces(path);
    if (faces.empty()) return 0;
    RegisteredFonts.push_back({key, 1, faces});
    return int32_t(faces.size());
}

bool RemoveFontResourceExA(const std::string& path, uint32_t flags) {
    if ((flags & FR_PRIVATE) == 0) return false;
    std::string key = RegistryKey(path);
    auto font = std::find_if(RegisteredFonts.begin(), RegisteredFonts.end(),
                             [&](const TRegisteredFont& entry) { return entry.Path == key; });
    if (font == RegisteredFonts.end()) return false;
    if (--font->Count == 0) RegisteredFonts.erase(font);
    return true;
}

bool IsFontFaceRegistered(const std::string& faceName) {
    TFaceChoice choice;
    return FindRegisteredFace(faceName, NormalWeight, choice);
}

std::string GetFontFaceName(const std::string& path) {
    FreeTypeFace font(path, 0);
    if (!font.Face || !font.Face->family_name) return "";
    return font.Face->family_name;
}

uint32_t BuildFontLists(const std::string& faceName, int32_t width, int32_t height,
                        int32_t weight) {
    uint32_t base = glGenLists(GlyphCount);
    if (base == 0) return 0;
    int32_t wanted = weight > 0 ? weight : NormalWeight;
    TFaceChoice choice;
    bool found = FindRegisteredFace(faceName, wanted, choice) || FindDefaultFace(wanted, choice);
    FreeTypeFace font(choice.Path, choice.Index);
    if (!found || !font.Face || !SetGlyphSize(font.Face, width, height)) {
        CompileEmptyLists(base);
        return base;
    }
    bool embolden = wanted >= BoldWeight && FaceWeight(font.Face) < BoldWeight;
    CompileGlyphLists(font.Face, base, embolden);
    return base;
}

void DeleteFontLists(uint32_t base) {
    if (base != 0) glDeleteLists(base, GlyphCount);
}

void RenderText(const std::string& text, uint32_t base, float x, float y) {
    glDisable(GL_TEXTURE_2D);
    glRasterPos2f(x, y);
    glListBase(base);
    glCallLists(GLsizei(text.size()), GL_UNSIGNED_BYTE, text.data());
}
