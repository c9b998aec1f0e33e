// The game's start-up: the engine binding, the four painted textures, the camera interpolation,
// the random generator and the render procedure's frame set-up.
#include "engine.h"
#include "game.h"
#include "offscreen_gl.h"
#include "physics/physics.h"
#include "run_program.h"
#include "scratch_folder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Pixel = std::vector<uint8_t>;

Pixel At(const uint8_t* pixels, int width, int x, int y) {
    const uint8_t* p = pixels + (static_cast<size_t>(y) * width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

const Pixel Clear{0, 0, 0, 0};
const Pixel White{255, 255, 255, 255};
const Pixel Green{0, 255, 0, 255};
const Pixel Disc{100, 150, 255, 90};

// The engine bound as the program binds it, with a window open.
class GameTest : public ScratchFolderTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(BindEngine((Dir + "/log.txt").c_str()));
        ASSERT_TRUE(Window->SetMode(false, 800, 600, 32, 75));
    }
    void TearDown() override { ReleaseEngine(); }
};

TEST_F(GameTest, TheCircleIsADotInARing) {
    MakeTextures();
    const uint8_t* c = CirclePixels;
    EXPECT_EQ(At(c, 128, 63, 63), White);
    EXPECT_EQ(At(c, 128, 82, 63), White) << "d 19";
    EXPECT_EQ(At(c, 128, 83, 63), Clear) << "d 20";
    EXPECT_EQ(At(c, 128, 113, 63), Clear) << "d 50";
    EXPECT_EQ(At(c, 128, 114, 63), White) << "d 51";
    EXPECT_EQ(At(c, 128, 126, 63), White) << "d 63";
    EXPECT_EQ(At(c, 128, 127, 63), Clear) << "d 64";
    EXPECT_EQ(At(c, 128, 63, 0), White) << "d 63 upwards";
    EXPECT_EQ(At(c, 128, 98, 98), Clear) << "d 49.5 on the diagonal";
    EXPECT_EQ(At(c, 128, 99, 99), White) << "d 50.9 on the diagonal";
    EXPECT_EQ(At(c, 128, 0, 0), Clear);
}

TEST_F(GameTest, TheLeadIsAGreenDotAndRimAroundABlueDisc) {
    MakeTextures();
    const uint8_t* l = LeadPixels;
    EXPECT_EQ(At(l, 128, 63, 63), Green);
    EXPECT_EQ(At(l, 128, 73, 63), Green) << "d 10";
    EXPECT_EQ(At(l, 128, 74, 63), Disc) << "d 11";
    EXPECT_EQ(At(l, 128, 120, 63), Disc) << "d 57";
    EXPECT_EQ(At(l, 128, 121, 63), Green) << "d 58";
    EXPECT_EQ(At(l, 128, 0, 63), Green) << "d 63";
    EXPECT_EQ(At(l, 128, 127, 63), Clear) << "d 64";
    EXPECT_EQ(At(l, 128, 63, 6), Disc) << "d 57 upwards";
    EXPECT_EQ(At(l, 128, 127, 127), Clear);
}

TEST_F(GameTest, TheArrowPointsAtRowZero) {
    MakeTextures();
    const Pixel on{0, 255, 0, 100};
    int count = 0;
    for (int i = 0; i < 16 * 16; ++i) count += At(ArrowPixels, 16, i % 16, i / 16) == on;
    EXPECT_EQ(count, 2 + 4 + 6 + 8 + 10 + 12 + 10 * 4);
    EXPECT_EQ(At(ArrowPixels, 16, 7, 0), on);
    EXPECT_EQ(At(ArrowPixels, 16, 8, 0), on);
    EXPECT_EQ(At(ArrowPixels, 16, 6, 0), Clear);
    EXPECT_EQ(At(ArrowPixels, 16, 9, 0), Clear);
    EXPECT_EQ(At(ArrowPixels, 16, 2, 5), on);
    EXPECT_EQ(At(ArrowPixels, 16, 13, 5), on);
    EXPECT_EQ(At(ArrowPixels, 16, 1, 5), Clear);
    EXPECT_EQ(At(ArrowPixels, 16, 14, 5), Clear);
    EXPECT_EQ(At(ArrowPixels, 16, 5, 6), Clear);
    EXPECT_EQ(At(ArrowPixels, 16, 6, 15), on);
    EXPECT_EQ(At(ArrowPixels, 16, 9, 15), on);
    EXPECT_EQ(At(ArrowPixels, 16, 10, 15), Clear);
}

TEST_F(GameTest, TheBackgroundTileIsAGreyPlusOnBlack) {
    MakeTextures();
    const Pixel grey{20, 20, 20, 255}, black{0, 0, 0, 255};
    int count = 0;
    for (int i = 0; i < 32 * 32; ++i) count += At(BackPixels, 32, i % 32, i / 32) == grey;
    EXPECT_EQ(count, 28 * 8 * 2 - 8 * 8);
    EXPECT_EQ(At(BackPixels, 32, 2, 12), grey);
    EXPECT_EQ(At(BackPixels, 32, 1, 12), black);
    EXPECT_EQ(At(BackPixels, 32, 29, 19), grey);
    EXPECT_EQ(At(BackPixels, 32, 30, 19), black);
    EXPECT_EQ(At(BackPixels, 32, 12, 2), grey);
    EXPECT_EQ(At(BackPixels, 32, 12, 1), black);
    EXPECT_EQ(At(BackPixels, 32, 19, 29), grey);
    EXPECT_EQ(At(BackPixels, 32, 20, 29), black);
    EXPECT_EQ(At(BackPixels, 32, 11, 11), black);
}

// The engine holds what was painted, as repeating, linearly filtered RGBA textures.
TEST_F(GameTest, TheTexturesReachTheEngineAsPainted) {
    MakeTextures();
    struct Made {
        int32_t Id;
        int Size;
        const uint8_t* Pixels;
    };
    for (Made made : {Made{CircleTexture, 128, CirclePixels}, Made{LeadTexture, 128, LeadPixels},
                      Made{ArrowTexture, 16, ArrowPixels}, Made{BackTexture, 32, BackPixels}}) {
        ASSERT_GT(made.Id, 0);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(made.Id));
        std::vector<uint8_t> held(static_cast<size_t>(made.Size) * made.Size * 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, held.data());
        EXPECT_TRUE(std::equal(held.begin(), held.end(), made.Pixels)) << "texture " << made.Id;
        GLint wrap = 0, filter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        EXPECT_EQ(wrap, GL_REPEAT);
        EXPECT_EQ(filter, GL_LINEAR);
    }
}

TEST(Camera, InterpolatesFromThePreviousCornerAndOvershootsPastAPeriod) {
    TCamera camera{};
    camera.PrevX = 100;
    camera.PrevY = -40;
    camera.X = 130;
    camera.Y = -10;
    InterpolateCamera(camera, 0);
    EXPECT_EQ(camera.DrawX, 100);
    EXPECT_EQ(camera.DrawY, -40);
    InterpolateCamera(camera, 1000.0f / 30);
    EXPECT_FLOAT_EQ(camera.DrawX, 130);
    EXPECT_FLOAT_EQ(camera.DrawY, -10);
    InterpolateCamera(camera, 50);
    EXPECT_FLOAT_EQ(camera.DrawX, 145);
    EXPECT_FLOAT_EQ(camera.DrawY, 5);
    EXPECT_EQ(camera.PrevX, 100) << "only the drawn corner moves";
    EXPECT_EQ(camera.X, 130);
}

TEST(RandomNumbers, StayInRangeRepeatForASeedAndGiveZeroForNoChoice) {
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
    Randomize(7);
    std::vector<int32_t> first;
    std::set<int32_t> seen;
    for (int i = 0; i < 1000; ++i) {
        first.push_back(Random(10));
        seen.insert(first.back());
    }
    EXPECT_EQ(seen, (std::set<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    Randomize(7);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(Random(10), first[static_cast<size_t>(i)]);
    EXPECT_EQ(Random(1), 0);
}

TEST_F(GameTest, GameInitSetsAdditiveSmoothDrawingAndMakesTheFont) {
    GameInit();
    GLfloat width = 0;
    GLint source = 0, destination = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(width, 2);
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE);
    EXPECT_GT(MainFont, 0);
    EXPECT_GT(BackTexture, 0);
    // The menu's rope scene hangs in a world of the screen's size with gentle gravity.
    EXPECT_EQ(MenuWorld.Iterations, 2);
    EXPECT_EQ(MenuWorld.Bounds.x, 800);
    EXPECT_EQ(MenuWorld.Bounds.y, 600);
    EXPECT_EQ(MenuWorld.Gravity.y, 1);
}

TEST_F(GameTest, RenderProcClearsTheFrameSetsTheProjectionAndInterpolatesOnTheEngineClock) {
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    Camera = TCamera{};
    Camera.X = 300;
    LastUpdateTime = static_cast<float>(Engine->GetTime());
    const int32_t before = Engine->GetTime();
    RenderProc();
    const int32_t after = Engine->GetTime();
    EXPECT_GE(FrameTime, before);
    EXPECT_LE(FrameTime, after);
    EXPECT_EQ(ElapsedTime, FrameTime - LastUpdateTime);
    EXPECT_FLOAT_EQ(Camera.DrawX, 300 * ElapsedTime / (1000.0f / 30));
    EXPECT_EQ(ReadPixelsRGBA(400, 580, 1, 1), Clear) << "cleared above the menu screen's texts";

    glColor3f(1, 1, 1);
    glRectf(0, 0, 4, 4); // the 2D space: (0, 0) is the top-left corner of the frame
    EXPECT_EQ(ReadPixelsRGBA(1, 598, 1, 1), White);
}

TEST(Binding, FetchesEveryInterfaceOnceAndReleasesThemAll) {
    std::string dir = MakeScratchDir("binding");
    std::string log = dir + "/log.txt";
    ASSERT_TRUE(BindEngine(log.c_str()));
    for (IEngineObject* held :
         std::initializer_list<IEngineObject*>{Engine, EngineLog, Window, Render, Input, Textures})
        ASSERT_NE(held, nullptr);
    IEngine* first = Engine;
    EXPECT_FALSE(BindEngine(log.c_str())) << "bound already";
    EXPECT_EQ(Engine, first);
    ReleaseEngine();
    for (IEngineObject* held :
         std::initializer_list<IEngineObject*>{Engine, EngineLog, Window, Render, Input, Textures})
        EXPECT_EQ(held, nullptr);
    EXPECT_EQ(ReadLines(log).back(), "Engine shut down");
    ReleaseEngine();
    fs::remove_all(dir);
}

} // namespace
