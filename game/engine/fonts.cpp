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

// A glyph as glBitmap draws it: its size, origin and advance, and where it sits in the atlas.
struct TAtlasGlyph {
    int X = 0, Y = 0; // the lower-left texel in the atlas
    int Width = 0, Height = 0;
    GLfloat OriginX = 0, OriginY = 0, Advance = 0;
};

// A font's glyphs in one alpha texture, so that a string costs a few quads instead of one glBitmap
// per glyph, which software renderers rasterise slowly.
struct TFontAtlas {
    uint32_t Base = 0;
    GLuint Texture = 0;
    int Width = 0, Height = 0;
    std::vector<TAtlasGlyph> Glyphs;
};

std::vector<TFontAtlas> Atlases;

struct TGlyphImage {
    TAtlasGlyph Place;
    std::vector<GLubyte> Rows; // one bit a pixel, bottom row first, whole bytes a row
};

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

// The glyph's bitmap and placement; no pixels (and no advance when it fails to load) for a blank.
TGlyphImage RenderGlyph(FT_Face face, FT_UInt glyph, bool embolden) {
    TGlyphImage image;
    FT_Int32 flags = FT_LOAD_TARGET_MONO | (FT_IS_SCALABLE(face) ? FT_LOAD_NO_BITMAP : 0);
    if (FT_Load_Glyph(face, glyph, flags) != 0) return image;
    FT_GlyphSlot slot = face->glyph;
    if (embolden) FT_GlyphSlot_Embolden(slot);
    image.Place.Advance = std::round(GLfloat(slot->advance.x) / 64);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0 ||
        slot->bitmap.pixel_mode != FT_PIXEL_MODE_MONO || slot->bitmap.rows == 0 ||
        slot->bitmap.width == 0)
        return image;
    FlipRows(slot->bitmap, image.Rows);
    image.Place.Width = int(slot->bitmap.width);
    image.Place.Height = int(slot->bitmap.rows);
    image.Place.OriginX = GLfloat(-slot->bitmap_left);
    image.Place.OriginY = GLfloat(image.Place.Height - slot->bitmap_top);
    return image;
}

// One list's content: the glyph drawn at the raster position, which then moves by the advance.
void CompileGlyph(const TGlyphImage& image) {
    const TAtlasGlyph& place = image.Place;
    glBitmap(place.Width, place.Height, place.OriginX, place.OriginY, place.Advance, 0,
             image.Rows.empty() ? NoPixels : image.Rows.data());
}

int PowerOfTwoAtLeast(int n) {
    int power = 1;
    while (power < n) power *= 2;
    return power;
}

// Places the glyphs on shelves left to right, a blank texel between neighbours; false when the
// atlas would exceed the largest texture.
bool PlaceGlyphs(std::vector<TGlyphImage>& images, TFontAtlas& atlas) {
    int widest = 0;
    for (const TGlyphImage& image : images) widest = std::max(widest, image.Place.Width);
    atlas.Width = PowerOfTwoAtLeast(std::max(256, widest + 1));
    int x = 0, y = 0, shelf = 0;
    for (TGlyphImage& image : images) {
        if (x + image.Place.Width + 1 > atlas.Width) x = 0, y += shelf + 1, shelf = 0;
        image.Place.X = x, image.Place.Y = y;
        x += image.Place.Width + 1;
        shelf = std::max(shelf, image.Place.Height);
    }
    atlas.Height = PowerOfTwoAtLeast(y + shelf + 1);
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return atlas.Width <= largest && atlas.Height <= largest;
}

// Each set bit becomes an opaque texel.
std::vector<GLubyte> AtlasTexels(const std::vector<TGlyphImage>& images, const TFontAtlas& atlas) {
    std::vector<GLubyte> texels(size_t(atlas.Width) * atlas.Height, 0);
    for (const TGlyphImage& image : images) {
        const TAtlasGlyph& place = image.Place;
        size_t rowBytes = size_t(place.Width + 7) / 8;
        for (int row = 0; row < place.Height; ++row)
            for (int column = 0; column < place.Width; ++column)
                if (image.Rows[row * rowBytes + column / 8] & (0x80 >> (column % 8)))
                    texels[size_t(place.Y + row) * atlas.Width + place.X + column] = 255;
    }
    return texels;
}

// A list base handed out again belongs to a new font: an atlas left under it is from a context
// that is gone, so it is dropped without touching its texture name.
void ForgetAtlas(uint32_t base) {
    std::erase_if(Atlases, [base](const TFontAtlas& atlas) { return atlas.Base == base; });
}

void BuildAtlas(std::vector<TGlyphImage>& images, uint32_t base) {
    TFontAtlas atlas;
    atlas.Base = base;
    if (!PlaceGlyphs(images, atlas)) return;
    std::vector<GLubyte> texels = AtlasTexels(images, atlas);
    glPushAttrib(GL_TEXTURE_BIT);
    glGenTextures(1, &atlas.Texture);
    glBindTexture(GL_TEXTURE_2D, atlas.Texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, atlas.Width, atlas.Height, 0, GL_ALPHA,
                 GL_UNSIGNED_BYTE, texels.data());
    glPopAttrib();
    for (const TGlyphImage& image : images) atlas.Glyphs.push_back(image.Place);
    Atlases.push_back(std::move(atlas));
}

void CompileGlyphLists(FT_Face face, uint32_t base, bool embolden) {
    bool unicode = FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0;
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    std::vector<TGlyphImage> images;
    for (int code = 0; code < GlyphCount; ++code) {
        FT_ULong character = unicode ? Cp1251ToUnicode(uint8_t(code)) : FT_ULong(code);
        images.push_back(RenderGlyph(face, FT_Get_Char_Index(face, character), embolden));
        glNewList(base + code, GL_COMPILE);
        CompileGlyph(images.back());
        glEndList();
    }
    BuildAtlas(images, base);
    glPopClientAttrib();
}

const TFontAtlas* FindAtlas(uint32_t base) {
    for (const TFontAtlas& atlas : Atlases)
        if (atlas.Base == base) return &atlas;
    return nullptr;
}

// Window coordinates for drawing, the depth of a window position kept (an ortho from depth 0 to
// -1 passes z through), with the atlas bound and its blank texels discarded.
void BeginWindowSpace(const TFontAtlas& atlas) {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_TRANSFORM_BIT);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3], 0, -1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, atlas.Texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_CULL_FACE);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0);
}

void EndWindowSpace() {
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

// The glyph where glBitmap puts it: its lower left at the floor of the pen less the origin.
void AddGlyphQuad(const TFontAtlas& atlas, const TAtlasGlyph& glyph, GLfloat pen,
                  const GLfloat raster[4]) {
    if (glyph.Width == 0) return;
    GLfloat x0 = std::floor(pen - glyph.OriginX), y0 = std::floor(raster[1] - glyph.OriginY);
    GLfloat x1 = x0 + GLfloat(glyph.Width), y1 = y0 + GLfloat(glyph.Height);
    GLfloat s0 = GLfloat(glyph.X) / GLfloat(atlas.Width);
    GLfloat s1 = GLfloat(glyph.X + glyph.Width) / GLfloat(atlas.Width);
    GLfloat t0 = GLfloat(glyph.Y) / GLfloat(atlas.Height);
    GLfloat t1 = GLfloat(glyph.Y + glyph.Height) / GLfloat(atlas.Height);
    glTexCoord2f(s0, t0), glVertex3f(x0, y0, raster[2]);
    glTexCoord2f(s1, t0), glVertex3f(x1, y0, raster[2]);
    glTexCoord2f(s1, t1), glVertex3f(x1, y1, raster[2]);
    glTexCoord2f(s0, t1), glVertex3f(x0, y1, raster[2]);
}

// The same pixels the glyph lists draw from the current raster position, which then moves on
// past the text as theirs does.
void DrawFromAtlas(const TFontAtlas& atlas, const std::string& text) {
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    if (!valid || text.empty()) return;
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    BeginWindowSpace(atlas);
    glBegin(GL_QUADS);
    GLfloat pen = raster[0];
    for (unsigned char code : text) {
        AddGlyphQuad(atlas, atlas.Glyphs[code], pen, raster);
        pen += atlas.Glyphs[code].Advance;
    }
    glEnd();
    EndWindowSpace();
    glBitmap(0, 0, 0, 0, pen - raster[0], 0, NoPixels);
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
    ForgetAtlas(base);
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
    if (base == 0) return;
    glDeleteLists(base, GlyphCount);
    if (const TFontAtlas* atlas = FindAtlas(base)) glDeleteTextures(1, &atlas->Texture);
    ForgetAtlas(base);
}

void RenderText(const std::string& text, uint32_t base, float x, float y) {
    glDisable(GL_TEXTURE_2D);
    glRasterPos2f(x, y);
    if (const TFontAtlas* atlas = FindAtlas(base)) return DrawFromAtlas(*atlas, text);
    glListBase(base);
    glCallLists(GLsizei(text.size()), GL_UNSIGNED_BYTE, text.data());
}
