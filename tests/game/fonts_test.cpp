// Fonts and bitmap text: the private registry, face names as fontconfig reads them, and glyphs
// drawn offscreen where their pixels can be checked.
#include "engine/fonts.h"

#include "offscreen_gl.h"
#include "run_program.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

const std::string ShippedFont = std::string(GAME_RUN_DIR) + "/Resources/font.ttf";
const std::string MonoFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

std::string FcScanFamily(const std::string& path) {
    FILE* pipe = popen(("fc-scan --format '%{family[0]}' '" + path + "'").c_str(), "r");
    if (!pipe) return "fc-scan did not start";
    char family[256] = {};
    family[std::fread(family, 1, sizeof family - 1, pipe)] = 0;
    pclose(pipe);
    return family;
}

TEST(FontRegistry, FindsAFaceByFamilyOnlyWhileItsFileIsRegistered) {
    EXPECT_FALSE(IsFontFaceRegistered("DejaVu Sans"));
    EXPECT_EQ(AddFontResourceExA(ShippedFont, FR_PRIVATE), 1);
    EXPECT_TRUE(IsFontFaceRegistered("DEJAVU sans"));
    EXPECT_FALSE(IsFontFaceRegistered("DejaVu"));
    // Registrations count, and another spelling of the path is the same file.
    EXPECT_EQ(AddFontResourceExA(GAME_RUN_DIR "/./Resources/font.ttf", FR_PRIVATE), 1);
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
    for (std::string path : {dir + "/fake.ttf", dir + "/missing.ttf", dir}) {
        EXPECT_EQ(AddFontResourceExA(path, FR_PRIVATE), 0) << path;
        EXPECT_EQ(GetFontFaceName(path), "") << path;
    }
    EXPECT_EQ(AddFontResourceExA(ShippedFont, 0), 0);
    EXPECT_FALSE(IsFontFaceRegistered("DejaVu Sans"));
    std::filesystem::remove_all(dir);
}

TEST(FontFaceName, IsTheFamilyFontconfigReads) {
    EXPECT_EQ(GetFontFaceName(ShippedFont), "DejaVu Sans");
    EXPECT_EQ(GetFontFaceName(ShippedFont), FcScanFamily(ShippedFont));
    EXPECT_EQ(GetFontFaceName(MonoFont), FcScanFamily(MonoFont));
}

constexpr int ViewWidth = 256, ViewHeight = 64;

struct Ink {
    int Count = 0, MinX = 1 << 20, MaxX = -1, MinY = 1 << 20, MaxY = -1; // rows bottom up
    bool OneColour = true;
    std::vector<uint8_t> Mask;
    std::vector<int> Row(int row) const { // the lit columns of a row
        std::vector<int> columns;
        for (int x = 0; x < ViewWidth; ++x)
            if (Mask[size_t(row) * ViewWidth + x]) columns.push_back(x);
        return columns;
    }
};

// Clears, draws the text at (x, y) of a 2D space with the origin at the top left, and reads back
// where the text left ink.
Ink Draw(uint32_t base, const std::string& text, float x, float y, float r = 1, float g = 1) {
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(r, g, 0);
    RenderText(text, base, x, y);
    std::vector<uint8_t> pixels = ReadPixelsRGBA(0, 0, ViewWidth, ViewHeight);
    Ink ink;
    for (int row = 0; row < ViewHeight; ++row)
        for (int column = 0; column < ViewWidth; ++column) {
            const uint8_t* p = &pixels[(size_t(row) * ViewWidth + column) * 4];
            ink.Mask.push_back(p[0] || p[1] || p[2]);
            if (!ink.Mask.back()) continue;
            ++ink.Count;
            ink.OneColour &= p[0] == uint8_t(r * 255) && p[1] == uint8_t(g * 255) && p[2] == 0;
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

class Text : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OpenOffscreenGL(gl, ViewWidth, ViewHeight));
        glMatrixMode(GL_PROJECTION);
        glOrtho(0, ViewWidth, ViewHeight, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
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

TEST_F(Text, AStringDrawsGlyphByGlyphLeftToRightFromTheRasterPositionInTheColour) {
    ASSERT_EQ(AddFontResourceExA(ShippedFont, FR_PRIVATE), 1);
    uint32_t base = BuildFontLists("DejaVu Sans", 12, 0, 700);
    ASSERT_NE(base, 0u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "every glyph compiled, blank ones too";
    std::string text = "Score:123";
    Ink whole = Draw(base, text, 10, 40, 1, 0);
    float end = RasterX();
    EXPECT_TRUE(whole.OneColour);
    EXPECT_TRUE(whole.MinX >= 10 && whole.MinX <= 12);
    // y = 40 from the top is row 24 from the bottom: the baseline the letters stand on.
    EXPECT_TRUE(whole.MinY >= 23 && whole.MaxY <= 24 + 14);

    std::vector<uint8_t> composed(whole.Mask.size(), 0);
    float x = 10;
    for (char c : text) {
        Ink glyph = Draw(base, std::string(1, c), x, 40, 1, 0);
        for (size_t i = 0; i < composed.size(); ++i) composed[i] |= glyph.Mask[i];
        EXPECT_TRUE(glyph.Count > 0 && RasterX() > x) << c;
        x = RasterX();
    }
    EXPECT_FLOAT_EQ(end, x) << "the position ends just behind the last glyph";
    EXPECT_EQ(composed, whole.Mask);
    Ink green = Draw(base, text, 10, 40, 0, 1);
    EXPECT_TRUE(green.OneColour && green.Mask == whole.Mask);
}

TEST_F(Text, GlyphsStandUprightAndUnskewed) {
    ASSERT_EQ(AddFontResourceExA(ShippedFont, FR_PRIVATE), 1);
    uint32_t base = BuildFontLists("DejaVu Sans", 0, 40, 700);
    // An I is one stem: a bitmap read with the wrong row length would shear it.
    Ink stem = Draw(base, "I", 20, 50);
    ASSERT_GT(stem.MaxY - stem.MinY, 20);
    for (int row = stem.MinY; row <= stem.MaxY; ++row)
        EXPECT_EQ(stem.Row(row), stem.Row(stem.MinY)) << row;
    // An L is widest at the bottom and a T at the top: rows left unflipped swap them.
    Ink l = Draw(base, "L", 20, 50), t = Draw(base, "T", 20, 50);
    EXPECT_GT(l.Row(l.MinY).size(), 2 * l.Row(l.MaxY).size());
    EXPECT_GT(t.Row(t.MaxY).size(), 2 * t.Row(t.MinY).size());
}

TEST_F(Text, CyrillicCodesDrawCyrillicLetters) {
    ASSERT_EQ(AddFontResourceExA(ShippedFont, FR_PRIVATE), 1);
    uint32_t base = BuildFontLists("DejaVu Sans", 12, 0, 700);
    // This face draws the Cyrillic small a like the Latin one; Latin-1 would give an a grave.
    EXPECT_EQ(Draw(base, "\xE0", 20, 40).Mask, Draw(base, "a", 20, 40).Mask);
    EXPECT_EQ(Draw(base, "\xC0\xCE", 20, 40).Mask, Draw(base, "AO", 20, 40).Mask);
    EXPECT_NE(Draw(base, "\xE1", 20, 40).Mask, Draw(base, "b", 20, 40).Mask);
}

TEST_F(Text, TexturingIsOffAfterwardsAndEmptyTextDrawsNothing) {
    uint32_t base = BuildFontLists("", 12, 0, 700);
    glEnable(GL_TEXTURE_2D);
    EXPECT_EQ(Draw(base, "", 30, 30).Count, 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FLOAT_EQ(RasterX(), 30);
    EXPECT_EQ(Draw(base, " ", 30, 30).Count, 0);
    EXPECT_GT(RasterX(), 30) << "a blank glyph still moves on";
    EXPECT_GT(Draw(base, "Hi", 30, 30).Count, 0) << "the default face";
}

TEST_F(Text, WidthIsTheAverageCharacterWidthAndHeightTheCell) {
    ASSERT_EQ(AddFontResourceExA(MonoFont, FR_PRIVATE), 1);
    // Every glyph of a monospaced face is as wide as the average.
    Draw(BuildFontLists("DejaVu Sans Mono", 12, 0, 400), "iW.", 0, 40);
    EXPECT_FLOAT_EQ(RasterX(), 36);
    uint32_t natural = BuildFontLists("DejaVu Sans Mono", 0, 0, 400);
    Draw(natural, "iW.", 0, 40);
    EXPECT_NEAR(RasterX(), 3 * 8, 3) << "a 16-pixel cell is about 8 pixels wide";
    Ink small = Draw(natural, "H", 10, 50);
    Ink large = Draw(BuildFontLists("DejaVu Sans Mono", 0, 32, 400), "H", 10, 50);
    EXPECT_NEAR(large.MaxY - large.MinY + 1, 2 * (small.MaxY - small.MinY + 1), 2);
    Ink em = Draw(BuildFontLists("DejaVu Sans Mono", 0, -32, 400), "H", 10, 50);
    EXPECT_GT(em.MaxY, large.MaxY) << "an em of 32 is taller than a cell of 32";
}

TEST_F(Text, BoldIsTakenFromTheFaceOrMadeFromALighterOne) {
    ASSERT_EQ(AddFontResourceExA(MonoFont, FR_PRIVATE), 1);
    Ink thin = Draw(BuildFontLists("DejaVu Sans Mono", 0, 24, 400), "lll", 10, 50);
    Ink thick = Draw(BuildFontLists("DejaVu Sans Mono", 0, 24, 700), "lll", 10, 50);
    EXPECT_GT(thick.Count, thin.Count * 5 / 4);
}

TEST_F(Text, AFaceNoLongerRegisteredGivesWayToTheDefault) {
    ASSERT_EQ(AddFontResourceExA(MonoFont, FR_PRIVATE), 1);
    uint32_t mono = BuildFontLists("DejaVu Sans Mono", 0, 0, 400);
    ASSERT_TRUE(RemoveFontResourceExA(MonoFont, FR_PRIVATE));
    uint32_t fallback = BuildFontLists("DejaVu Sans Mono", 0, 0, 400);
    auto width = [](uint32_t base, const char* text) { return Draw(base, text, 0, 40), RasterX(); };
    EXPECT_FLOAT_EQ(width(mono, "iiii"), width(mono, "WWWW"));
    EXPECT_GT(width(fallback, "WWWW"), 2 * width(fallback, "iiii")) << "a proportional face";
}

TEST_F(Text, DeletingFreesTheListsAndAZeroBaseIsLeftAlone) {
    glNewList(5, GL_COMPILE);
    glEndList();
    uint32_t base = BuildFontLists("", 0, 0, 0);
    ASSERT_TRUE(base != 0 && glIsList(base) && glIsList(base + 255));
    DeleteFontLists(base);
    EXPECT_FALSE(glIsList(base) || glIsList(base + 255));
    DeleteFontLists(0);
    EXPECT_TRUE(glIsList(5));
}

TEST_F(Text, CompilingUsesItsOwnPixelStoreAndRestoresTheCallers) {
    uint32_t plain = BuildFontLists("", 0, 0, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_TRUE);
    uint32_t base = BuildFontLists("", 0, 0, 0);
    GLint alignment = 0, lsbFirst = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_UNPACK_LSB_FIRST, &lsbFirst);
    EXPECT_TRUE(alignment == 8 && lsbFirst == GL_TRUE);
    EXPECT_EQ(Draw(base, "Rg", 10, 40).Mask, Draw(plain, "Rg", 10, 40).Mask);
}

// The score, the menu and every printable code (running off the right edge), each line either
// through the glyph lists, one bitmap a glyph, or through RenderText; on a coloured ground with the
// Game's blending on.
std::vector<uint8_t> DrawHud(uint32_t base, bool throughLists, int width, int height) {
    std::string everyCode;
    for (int code = 32; code < 256; ++code) everyCode += char(code);
    const std::pair<std::array<float, 5>, std::string> lines[] = {
        {{24, 144, 1, 1, 1}, "Score: 1234567890"},
        {{40, 66, 0.25f, 1, 0.25f}, "New Move"},
        {{40.4f, 90.6f, 0.25f, 0.25f, 1}, "New Stop"},
        {{3.3f, 400.7f, 1, 1, 0}, everyCode}};
    glClearColor(0.2f, 0.3f, 0.4f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    for (const auto& [at, text] : lines) {
        glColor3f(at[2], at[3], at[4]);
        if (!throughLists) {
            RenderText(text, base, at[0], at[1]);
            continue;
        }
        glRasterPos2f(at[0], at[1]);
        glListBase(base);
        glCallLists(GLsizei(text.size()), GL_UNSIGNED_BYTE, text.data());
    }
    return ReadPixelsRGBA(0, 0, width, height);
}

// Both ways draw one-bit glyph coverage at the same whole pixels (the atlas is sampled texel for
// pixel, without filtering), so no antialiasing can part them: the tolerance is no pixel at all.
TEST(TextPicture, TheAtlasDrawsTheSamePixelsAsTheGlyphLists) {
    for (auto [width, height] : {std::pair{800, 600}, {1024, 768}}) {
        SCOPED_TRACE(width);
        OffscreenGL gl;
        ASSERT_TRUE(OpenOffscreenGL(gl, width, height));
        ASSERT_EQ(AddFontResourceExA(ShippedFont, FR_PRIVATE), 1);
        glMatrixMode(GL_PROJECTION);
        glOrtho(0, 800, 600, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        uint32_t base = BuildFontLists("DejaVu Sans", 12, 0, 700);
        std::vector<uint8_t> lists = DrawHud(base, true, width, height);
        std::vector<uint8_t> atlas = DrawHud(base, false, width, height);
        size_t ink = 0, differing = 0; // the bottom left pixel shows the ground
        for (size_t i = 0; i < lists.size(); i += 4) {
            ink += !std::equal(&lists[i], &lists[i + 3], lists.begin());
            differing += !std::equal(&lists[i], &lists[i + 3], &atlas[i]);
        }
        EXPECT_GT(ink, 5000u) << "the text was drawn";
        EXPECT_EQ(differing, 0u);
        RemoveFontResourceExA(ShippedFont, FR_PRIVATE);
        CloseOffscreenGL(gl);
    }
}

} // namespace
