// The frame drawn offscreen at 800 by 600 with the real creature models and one-colour textures:
// the splash's size and orientation, what shows over the snakes, the Move lane shift, the compass.
#include "scene.h"

#include "creature.h"
#include "engine/models.h"
#include "modes.h"
#include "offscreen_gl.h"
#include "startup.h"
#include "vorm/vorm.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

namespace {

struct Pixel {
    uint8_t R, G, B;
    bool operator==(const Pixel&) const = default;
};

constexpr Pixel Black{0, 0, 0}, Red{255, 0, 0}, Blue{0, 0, 255}, Grey{128, 128, 128};
constexpr Pixel Yellow{255, 255, 0}, Green{0, 255, 0};

// The shown frame's pixel, counted from the top left.
Pixel Shown(int x, int y) {
    glReadBuffer(GL_FRONT);
    std::vector<uint8_t> rgba = ReadPixelsRGBA(x, 599 - y, 1, 1);
    return {rgba[0], rgba[1], rgba[2]};
}

// A texture whose first rows (texture coordinate t = 0) are `first` and last rows `last`.
TResource Texture(const std::string& key, int w, int h, Pixel first, Pixel last) {
    std::vector<Pixel> pixels(size_t(w) * h, first);
    std::fill(pixels.begin() + w * (h / 2), pixels.end(), last);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    TResource texture;
    texture.Key = key;
    texture.Handle = name;
    texture.Width = w;
    texture.Height = h;
    return texture;
}

// The window, the creature's eight models, a grey road, blue water, a green pad and one snake
// drawn as a polyline across the creature's row and the obstacle's.
class Scene : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(InitEngine("Game", {800, 600, 800, 600, 32, 0, false}));
        ScreenSettings = GetScreenSettings();
        Resources = {Texture("road", 4, 4, Grey, Grey), Texture("water", 4, 4, Blue, Blue),
                     Texture("jump", 4, 4, Green, Green)};
        const char* models[] = {"tuvobody",  "tuvoeyes",  "tuvokluv",  "tuvolegal",
                                "tuvolegas", "tuvolegbl", "tuvolegbs", "tuvotail"};
        for (uint32_t list = 1; list <= 8; ++list) {
            TModelInfo info;
            info.ListName = list;
            ASSERT_TRUE(
                LoadModel(TOOLS_DIR "/models/" + std::string(models[list - 1]) + ".qmf", info));
            Resources.push_back(Texture(models[list - 1], 0, 0, Black, Black));
            Resources.back().Handle = list;
        }
        FreeVorms();
        Vorms[0] = std::make_unique<TVorm>();
        Vorms[0]->PointCount = 10;
        Vorms[0]->Color = 0xFF0000;
        const int xs[] = {200, 600, 600, 200}, ys[] = {60, 60, 184, 184};
        for (int i = 1; i <= 10; ++i) {
            Vorms[0]->X[i] = xs[std::min(i, 4) - 1];
            Vorms[0]->Y[i] = ys[std::min(i, 4) - 1];
        }
        GameState = gsJump;
        Obstacles = {{55, 1}};
        CameraYaw = SwayAngle = JumpHeight = LanePos = RoadScroll = 0;
        LegPhaseA = LegPhaseB = 7;
    }
    void TearDown() override { FreeVorms(); }

    // Twice, as the game does, so that the snakes have the compass's line width.
    void Draw() {
        RenderScene();
        RenderScene();
    }
    void Remove(const std::string& key) {
        Resources.erase(Resources.begin() + FindResourceIndex(key, Resources));
    }
};

TEST_F(Scene, SplashFitsThe800By600SpaceTheRightWayUp) {
    GameState = gsSplash;
    for (auto [w, h, left, top] : {std::array{1024, 512, 0, 100}, {400, 300, 200, 150}}) {
        Resources = {Texture("splash", w, h, Red, Blue)};
        int right = 800 - left, bottom = 600 - top;
        Draw();
        EXPECT_EQ(Shown(400, top - 2), Black) << w;
        EXPECT_EQ(Shown(left + 1, top + 1), Red) << w;
        EXPECT_EQ(Shown(right - 1, bottom - 1), Blue) << w;
        EXPECT_EQ(Shown(400, bottom + 1), Black) << w;
        EXPECT_EQ(Shown(std::max(left - 2, 0), 200), left > 0 ? Black : Red) << w;
    }
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

// The snake runs along y 60, over the obstacle 55 ahead, and along y 184 through the creature's head.
TEST_F(Scene, CreatureAndObstaclesCoverTheSnakesWithoutARoad) {
    Remove("road");
    Draw();
    EXPECT_EQ(Shown(400, 60), Blue);
    EXPECT_EQ(Shown(400, 184), Yellow);
    Pixel snake = Shown(250, 184);
    EXPECT_TRUE(snake.R > 200 && snake.G > 200 && snake.B > 100) << int(snake.B);
    EXPECT_EQ(Shown(250, 200), Black);

    Obstacles.clear();
    Draw();
    Pixel bare = Shown(400, 60);
    Obstacles = {{55, 2}}; // a jump pad without its texture leaves the frame as bare
    Remove("jump");
    Draw();
    EXPECT_EQ(Shown(400, 60), bare);
}

// With the lane at 10 under the creature the two-lane road reaches 30 units to the screen's right
// and 10 to its left; with the lane at -10 the other way round.
TEST_F(Scene, MoveModeShiftsTheRoadUnderTheCreature) {
    GameState = gsMove;
    for (float lane : {10.0f, -10.0f}) {
        LanePos = lane;
        Draw();
        EXPECT_EQ(Shown(100, 450), lane > 0 ? Black : Grey) << lane;
        EXPECT_EQ(Shown(700, 450), lane > 0 ? Grey : Black) << lane;
    }
}

TEST_F(Scene, CompassIsARedArrowAtTheTopCentreTurningWithTheCamera) {
    Draw();
    EXPECT_EQ(Shown(400, 12), Red);
    EXPECT_EQ(Shown(397, 12), Red); // the head's left stroke
    CameraYaw = 90;
    Draw();
    EXPECT_EQ(Shown(400, 12), Black);
    EXPECT_EQ(Shown(392, 20), Red);
}

TEST(LegAngle, SwingsFromMinus30To30AndBack) {
    EXPECT_FLOAT_EQ(LegAngle(0), -30);
    EXPECT_FLOAT_EQ(LegAngle(14), 26);
    EXPECT_FLOAT_EQ(LegAngle(15), 30);
    EXPECT_FLOAT_EQ(LegAngle(29), -26);
}

} // namespace
