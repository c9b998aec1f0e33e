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

#include <tuple>

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

// A resource whose texture's first rows (texture coordinate t = 0) are `first`, its last `last`.
TResource Texture(const char* key, int w, int h, Pixel first, Pixel last = Black) {
    std::vector<Pixel> pixels(size_t(w) * h, first);
    std::fill(pixels.begin() + w * (h / 2), pixels.end(), last);
    TResource texture{key, RES_BMP, 0, "", w, h, 24, "", "", 0, 0, 0};
    glGenTextures(1, &texture.Handle);
    glBindTexture(GL_TEXTURE_2D, texture.Handle);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return texture;
}

// A Jump game with water 55 ahead, a grey road, a green pad's texture, the creature's eight
// models, and a snake along y 60 (over the water) and y 320 (through the creature's body).
class Scene : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(InitEngine("Game", {800, 600, 800, 600, 32, 0, false}));
        ScreenSettings = GetScreenSettings();
        Resources = {Texture("road", 2, 2, Grey, Grey), Texture("water", 2, 2, Blue, Blue),
                     Texture("jump", 2, 2, Green, Green)};
        for (const char* model : {"tuvobody", "tuvoeyes", "tuvokluv", "tuvolegal", "tuvolegas",
                                  "tuvolegbl", "tuvolegbs", "tuvotail"}) {
            TModelInfo info{static_cast<uint32_t>(Resources.size() - 2), "", ""}; // lists 1 to 8
            ASSERT_TRUE(
                LoadModel(TOOLS_DIR "/game_assets/models/" + std::string(model) + ".qmf", info));
            Resources.push_back({model, RES_MODEL, info.ListName, "", 0, 0, 0, "", "", 0, 0, 0});
        }
        FreeVorms();
        Vorms[0] = std::make_unique<TVorm>(TVorm{10, 10, {0, 200, 600, 600}, {0, 60, 60}});
        Vorms[0]->Color = 0xFF0000;
        for (int i = 3; i <= 10; ++i) Vorms[0]->X[i] = i == 3 ? 600 : 200, Vorms[0]->Y[i] = 320;
        GameState = gsJump;
        Obstacles = {{55, 1, 0, 0}};
        CameraYaw = SwayAngle = JumpHeight = LanePos = RoadScroll = 0;
        Sinking = false;
        LegPhaseA = LegPhaseB = 7;
    }
    void TearDown() override { FreeVorms(); }

    // Twice, as the game does, so that the snakes have the compass's line width.
    void Draw() {
        RenderScene();
        RenderScene();
    }
    void Remove(const char* key) {
        std::erase_if(Resources, [&](auto& r) { return r.Key == key; });
    }
};

TEST_F(Scene, SplashFitsThe800By600SpaceTheRightWayUp) {
    GameState = gsSplash;
    for (auto [w, h, left, top] : {std::array{1024, 512, 0, 100}, {400, 300, 200, 150}}) {
        Resources = {Texture("splash", w, h, Red, Blue)};
        Draw();
        EXPECT_EQ(Shown(400, top - 2), Black) << w;
        EXPECT_EQ(Shown(left + 1, top + 1), Red) << w;
        EXPECT_EQ(Shown(799 - left, 599 - top), Blue) << w;
        EXPECT_EQ(Shown(400, 601 - top), Black) << w;
        EXPECT_EQ(Shown(std::max(left - 2, 0), 200), left > 0 ? Black : Red) << w;
    }
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

TEST_F(Scene, CreatureAndObstaclesCoverTheSnakesWithoutARoad) {
    Remove("road");
    Draw();
    EXPECT_EQ(Shown(400, 60), Blue);
    EXPECT_EQ(Shown(400, 320), Yellow);
    Pixel snake = Shown(250, 320);
    EXPECT_GT(snake.R, 200) << int(snake.B);
    EXPECT_GT(snake.G, 200) << int(snake.B);
    EXPECT_GT(snake.B, 100) << int(snake.B);

    Obstacles.clear();
    Draw();
    Pixel bare = Shown(400, 60);
    Obstacles = {{55, 2, 0, 0}}; // a jump pad without its texture leaves the frame as bare
    Remove("jump");
    Draw();
    EXPECT_EQ(Shown(400, 60), bare);
}

// In Move mode the two-lane road reaches 30 units to one side of the creature and 10 to the other;
// the compass is upright, or a quarter turned with its tip to the left.
TEST_F(Scene, LaneShiftAndCompass) {
    struct Case {
        TGameState State;
        float Lane, Yaw;
        int X, Y;
        Pixel Expected;
    };
    for (Case c : {Case{gsMove, 10, 0, 100, 450, Black},
                   {gsMove, 10, 0, 700, 450, Grey},
                   {gsMove, -10, 0, 100, 450, Grey},
                   {gsMove, -10, 0, 700, 450, Black},
                   {gsJump, 0, 0, 400, 12, Red},
                   {gsJump, 0, 0, 397, 12, Red},
                   {gsJump, 0, 90, 392, 17, Red},
                   {gsJump, 0, 90, 400, 12, Black}}) {
        GameState = c.State;
        LanePos = c.Lane;
        CameraYaw = c.Yaw;
        Draw();
        EXPECT_EQ(Shown(c.X, c.Y), c.Expected) << c.X << "," << c.Y << " lane " << c.Lane;
    }
}

// A creature that has sunk below its own height is gone, even where the turned camera looks
// under the road's edge; one that is still going down shows.
TEST_F(Scene, ASunkCreatureIsOutOfSightFromAnySide) {
    Obstacles.clear();
    Sinking = true;
    for (auto [height, yaw, sway, shows] : {std::tuple{-4.0f, 90.0f, -30.0f, true},
                                            {-20.0f, 90.0f, -30.0f, false},
                                            {-40.0f, 90.0f, 0.0f, false},
                                            {-40.0f, 330.0f, 30.0f, false},
                                            {-400.0f, 270.0f, -30.0f, false}}) {
        std::tie(JumpHeight, CameraYaw, SwayAngle) = std::tuple(height, yaw, sway);
        Draw();
        glReadBuffer(GL_FRONT);
        std::vector<uint8_t> rgba = ReadPixelsRGBA(0, 0, 800, 600);
        int yellow = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            yellow += Pixel{rgba[i], rgba[i + 1], rgba[i + 2]} == Yellow;
        EXPECT_EQ(yellow > 0, shows) << height << " " << yaw << " " << sway << ": " << yellow;
    }
}

TEST(LegAngle, SwingsFromMinus30To30AndBack) {
    for (auto [phase, angle] : {std::pair{0, -30.0f}, {14, 26.0f}, {15, 30.0f}, {29, -26.0f}})
        EXPECT_FLOAT_EQ(LegAngle(phase), angle) << phase;
}

} // namespace
