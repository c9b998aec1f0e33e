// Fonts and bitmap text: the private registry, face names as fontconfig reads them, and glyphs
// drawn offscreen where their pixels can be checked.
#include "engine/fonts.h"

#include "offscreen_gl.h"
#include "run_program.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const std::string ShippedFont = std::string(GAME_RUN_DIR) + "/Resources/font.ttf";
const std::string MonoFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

std::string FcScanFamily(const std::string& path) {
    std::string command = "fc-scan --format '%{family[0]}' '" + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return "fc-scan did not start";
    std::string family;
    char chunk[256];
    while (size_t n = std::fread(chunk, 1, sizeof chunk, pipe)) family.append(chunk, n);
    pclose(pipe);
    return family;
}

TEST(FontRegistry, FindsAFaceByFamilyOnlyWhileItsFileIsRegistered) {
    EXPECT_FALSE(IsFontFaceRegistered("DejaVu Sans"));
    EXPECT_EQ(AddFontResourceExA(ShippedFont, FR_PRIVATE), 1);
    EXPECT_TRUE(IsFontFaceRegistered("DejaVu Sans"));
    EXPECT_TRUE(IsFontFaceRegistered("DEJAVU sans"));
    EXPECT_FALSE(IsFontFaceRegistered("DejaVu"));
    EXPECT_FALSE(IsFontFaceRegistered(""));

    // Registrations count: the same file by another spelling of its path is the same file.
    std::string other = fs::path(ShippedFont).parent_path().string() + "/./font.ttf";
    EXPECT_EQ(AddFontResourceExA(other, FR_PRIVATE), 1);
    EXPECT_TRUE(RemoveFontResourceExA(ShippedFont, FR_PRIVATE));
    EXPECT_TRUE(IsFontFaceRegistered("DejaVu Sans"));
    EXPECT_FALSE(RemoveFontResourceExA(ShippedFont, 0));
    EXPECT_TRUE(RemoveFontResourceExA(ShippedFont, FR_PRIVATE));
    EXPECT_FALSE(IsFontFaceRegistered("DejaVu Sans"));
    EXPECT_FALSE(RemoveFontResourceExA(ShippedFont, FR_PRIVATE));
}

TEST(FontRegistry, RefusesWhatIsNotAPrivateFontFile) {
    std::string dir = MakeScratchDir("fonts");
    std::ofstream(dir + "/fake.ttf") << "not a font at all";
    EXPECT_EQ(AddFontResourceExA(dir + "/fake.ttf", FR_PRIVATE), 0);
    EXPECT_EQ(AddFontResourceExA(dir + "/missing.ttf", FR_PRIVATE), 0);
    EXPECT_EQ(AddFontResourceExA(dir, FR_PRIVATE), 0);
    EXPECT_EQ(AddFontResourceExA(ShippedFont, 0), 0);
    EXPECT_FALSE(IsFontFaceRegistered("DejaVu Sans"));
    EXPECT_FALSE(RemoveFontResourceExA(dir + "/fake.ttf", FR_PRIVATE));
    EXPECT_EQ(GetFontFaceName(dir + "/fake.ttf"), "");
    EXPECT_EQ(GetFontFaceName(dir + "/missing.ttf"), "");
    fs::remove_all(dir);
}

TEST(FontFaceName, IsTheFamilyFontconfigReads) {
    ASSERT_TRUE(fs::exists(ShippedFont));
    EXPECT_EQ(GetFontFaceName(ShippedFont), FcScanFamily(ShippedFont));
    EXPECT_EQ(GetFontFaceName(ShippedFont), "DejaVu Sans");
    EXPECT_EQ(GetFontFaceName(MonoFont), FcScanFamily(MonoFont));
}

// A 2D space of the window's size with (0, 0) at the top left, as the game's interface draws in.
constexpr int ViewWidth = 256, ViewHeight = 64;

class Text : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OpenOffscreenGL(gl, ViewWidth, ViewHeight));
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, ViewWidth, ViewHeight, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override {
        while (RemoveFontResourceExA(ShippedFont, FR_PRIVATE)) {
        }
        while (RemoveFontResourceExA(MonoFont, FR_PRIVATE)) {
        }
        CloseOffscreenGL(gl);
    }
    OffscreenGL gl;
};

struct Ink {
    int Count = 0, MinX = 1 << 20, MaxX = -1, MinY = 1 << 20, MaxY = -1; // window rows, bottom up
    bool OneColour = true;
    std::vector<uint8_t> Mask;
};

// Clears, draws the text at (x, y) in the colour and reads back where it left ink.
Ink Draw(uint32_t base, const std::string& text, float x, float y, float r = 1, float g = 1,
         float b = 1) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(r, g, b);
    RenderText(text, base, x, y);
    std::vector<uint8_t> pixels = ReadPixelsRGBA(0, 0, ViewWidth, ViewHeight);
    Ink ink;
    uint8_t colour[3] = {uint8_t(r * 255), uint8_t(g * 255), uint8_t(b * 255)};
    for (int row = 0; row < ViewHeight; ++row)
        for (int column = 0; column < ViewWidth; ++column) {
            const uint8_t* p = &pixels[(size_t(row) * ViewWidth + column) * 4];
            bool lit = p[0] || p[1] || p[2];
            ink.Mask.push_back(lit);
            if (!lit) continue;
            ++ink.Count;
            ink.OneColour &= p[0] == colour[0] && p[1] == colour[1] && p[2] == colour[2];
            ink.MinX = std::min(ink.MinX, column), ink.MaxX = std::max(ink.MaxX, column);
            ink.MinY = std::min(ink.MinY, row), ink.MaxY = std::max(ink.MaxY, row);
        }
    return ink;
}

float RasterX() {
    GLfloat position[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    return position[0];
}

TEST_F(Text, AStringDrawsGlyphByGlyphLeftToRightFromTheRasterPositionInTheColour) {
    ASSERT_EQ(AddFontResourceExA(ShippedFont, FR_PRIVATE), 1);
    uint32_t base = BuildFontLists("DejaVu Sans", 12, 0, 700);
    ASSERT_NE(base, 0u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "every glyph compiled, blank ones too";

    std::string text = "Score:123";
    Ink whole = Draw(base, text, 10, 40, 1, 0, 0);
    float end = RasterX();
    EXPECT_TRUE(whole.OneColour);
    EXPECT_GE(whole.MinX, 10);
    EXPECT_LE(whole.MinX, 12);
    // y = 40 from the top is row 24 from the bottom: the baseline, which letters stand on.
    EXPECT_GE(whole.MinY, 23);
    EXPECT_LE(whole.MaxY - whole.MinY, 16);

    std::vector<uint8_t> composed(whole.Mask.size(), 0);
    float x = 10;
    for (char c : text) {
        Ink glyph = Draw(base, std::string(1, c), x, 40, 1, 0, 0);
        EXPECT_GT(glyph.Count, 0) << c;
        for (size_t i = 0; i < composed.size(); ++i) composed[i] |= glyph.Mask[i];
        float next = RasterX();
        EXPECT_GT(next, x) << c;
        x = next;
    }
    EXPECT_FLOAT_EQ(end, x) << "the position ends just behind the last glyph";
    EXPECT_EQ(composed, whole.Mask);

    Ink green = Draw(base, text, 10, 40, 0, 1, 0);
    EXPECT_TRUE(green.OneColour);
    EXPECT_EQ(green.Mask, whole.Mask);
    DeleteFontLists(base);
}

// The lit columns of one window row of the ink.
std::vector<int> RowColumns(const Ink& ink, int row) {
    std::vector<int> columns;
    for (int column = 0; column < ViewWidth; ++column)
        if (ink.Mask[size_t(row) * ViewWidth + column]) columns.push_back(column);
    return columns;
}

TEST_F(Text, GlyphsStandUprightAndUnskewed) {
    ASSERT_EQ(AddFontResourceExA(ShippedFont, FR_PRIVATE), 1);
    uint32_t base = BuildFontLists("DejaVu Sans", 0, 40, 700);
    // An I is one stem: a bitmap read with the wrong row length would shear it.
    Ink stem = Draw(base, "I", 20, 50);
    ASSERT_GT(stem.MaxY - stem.MinY, 20);
    for (int row = stem.MinY; row <= stem.MaxY; ++row)
        EXPECT_EQ(RowColumns(stem, row), RowColumns(stem, stem.MinY)) << row;
    // An L is widest at the bottom and a T at the top: rows that were not flipped swap them.
    Ink l = Draw(base, "L", 20, 50);
    EXPECT_GT(RowColumns(l, l.MinY).size(), 2 * RowColumns(l, l.MaxY).size());
    Ink t = Draw(base, "T", 20, 50);
    EXPECT_GT(RowColumns(t, t.MaxY).size(), 2 * RowColumns(t, t.MinY).size());
    DeleteFontLists(base);
}

TEST_F(Text, CyrillicCodesDrawCyrillicLetters) {
    ASSERT_EQ(AddFontResourceExA(ShippedFont, FR_PRIVATE), 1);
    uint32_t base = BuildFontLists("DejaVu Sans", 12, 0, 700);
    // In this face the Cyrillic small a is drawn exactly like the Latin one; a code page taken
    // for Latin-1 would give an a with a grave accent instead.
    Ink cyrillic = Draw(base, "\xE0", 20, 40);
    Ink latin = Draw(base, "a", 20, 40);
    EXPECT_EQ(cyrillic.Mask, latin.Mask);
    EXPECT_NE(Draw(base, "\xE1", 20, 40).Mask, Draw(base, "b", 20, 40).Mask);
    EXPECT_EQ(Draw(base, "\xC0\xCE", 20, 40).Mask, Draw(base, "AO", 20, 40).Mask);
    EXPECT_GT(Draw(base, "\xB9", 20, 40).Count, 0) << "the numero sign";
    DeleteFontLists(base);
}

TEST_F(Text, TexturingIsOffAfterwardsAndEmptyTextDrawsNothing) {
    uint32_t base = BuildFontLists("", 12, 0, 700);
    glEnable(GL_TEXTURE_2D);
    Ink ink = Draw(base, "", 30, 30);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(ink.Count, 0);
    EXPECT_FLOAT_EQ(RasterX(), 30);
    Ink space = Draw(base, " ", 30, 30);
    EXPECT_EQ(space.Count, 0);
    EXPECT_GT(RasterX(), 30) << "a blank glyph still moves on";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    DeleteFontLists(base);
}

TEST_F(Text, WidthIsTheAverageCharacterWidthAndHeightTheCell) {
    ASSERT_EQ(AddFontResourceExA(MonoFont, FR_PRIVATE), 1);
    // Every glyph of a monospaced face is as wide as the average.
    uint32_t twelve = BuildFontLists("DejaVu Sans Mono", 12, 0, 400);
    Draw(twelve, "iW.", 0, 40);
    EXPECT_FLOAT_EQ(RasterX(), 36);
    uint32_t natural = BuildFontLists("DejaVu Sans Mono", 0, 0, 400);
    Draw(natural, "iW.", 0, 40);
    EXPECT_NEAR(RasterX(), 3 * 8, 3) << "a 16-pixel cell is about 8 pixels wide";

    Ink small = Draw(natural, "H", 10, 50);
    uint32_t tall = BuildFontLists("DejaVu Sans Mono", 0, 32, 400);
    Ink large = Draw(tall, "H", 10, 50);
    EXPECT_NEAR(large.MaxY - large.MinY + 1, 2 * (small.MaxY - small.MinY + 1), 2);
    uint32_t em = BuildFontLists("DejaVu Sans Mono", 0, -32, 400);
    Ink emSized = Draw(em, "H", 10, 50);
    EXPECT_GT(emSized.MaxY, large.MaxY) << "an em of 32 is taller than a cell of 32";
    for (uint32_t base : {twelve, natural, tall, em}) DeleteFontLists(base);
}

TEST_F(Text, BoldIsTakenFromTheFaceOrMadeFromALighterOne) {
    ASSERT_EQ(AddFontResourceExA(MonoFont, FR_PRIVATE), 1);
    uint32_t regular = BuildFontLists("DejaVu Sans Mono", 0, 24, 400);
    uint32_t bold = BuildFontLists("DejaVu Sans Mono", 0, 24, 700);
    Ink thin = Draw(regular, "lll", 10, 50);
    Ink thick = Draw(bold, "lll", 10, 50);
    EXPECT_GT(thick.Count, thin.Count * 5 / 4);
    DeleteFontLists(regular);
    DeleteFontLists(bold);
}

TEST_F(Text, AFaceNoLongerRegisteredGivesWayToTheDefault) {
    ASSERT_EQ(AddFontResourceExA(MonoFont, FR_PRIVATE), 1);
    uint32_t mono = BuildFontLists("DejaVu Sans Mono", 0, 0, 400);
    ASSERT_TRUE(RemoveFontResourceExA(MonoFont, FR_PRIVATE));
    uint32_t fallback = BuildFontLists("DejaVu Sans Mono", 0, 0, 400);
    Draw(mono, "iiii", 0, 40);
    float monoNarrow = RasterX();
    Draw(mono, "WWWW", 0, 40);
    EXPECT_FLOAT_EQ(RasterX(), monoNarrow);
    Draw(fallback, "iiii", 0, 40);
    float narrow = RasterX();
    Draw(fallback, "WWWW", 0, 40);
    EXPECT_GT(RasterX(), narrow * 2) << "a proportional default face";
    EXPECT_GT(Draw(fallback, "Hi", 10, 40).Count, 0);
    DeleteFontLists(mono);
    DeleteFontLists(fallback);
}

TEST_F(Text, DeletingFreesTheListsAndAZeroBaseIsLeftAlone) {
    glNewList(5, GL_COMPILE);
    glEndList();
    uint32_t base = BuildFontLists("", 0, 0, 0);
    ASSERT_NE(base, 0u);
    EXPECT_TRUE(glIsList(base) && glIsList(base + 255));
    DeleteFontLists(base);
    EXPECT_FALSE(glIsList(base) || glIsList(base + 255));
    DeleteFontLists(0);
    EXPECT_TRUE(glIsList(5));
}

TEST_F(Text, CompilingLeavesThePixelStoreAsItWas) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_TRUE);
    uint32_t base = BuildFontLists("", 0, 0, 0);
    GLint alignment = 0, lsbFirst = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_UNPACK_LSB_FIRST, &lsbFirst);
    EXPECT_EQ(alignment, 8);
    EXPECT_EQ(lsbFirst, GL_TRUE);
    // The glyphs were unpacked with the font's own settings, not these.
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    uint32_t plain = BuildFontLists("", 0, 0, 0);
    EXPECT_EQ(Draw(base, "Rg", 10, 40).Mask, Draw(plain, "Rg", 10, 40).Mask);
    DeleteFontLists(base);
    DeleteFontLists(plain);
}

} // namespace
