// The loading screen drawn offscreen: the bar and its outline land where the 800 by 600 space puts
// them, at the window's own size.
#include "startup.h"

#include "game_support.h"
#include "offscreen_gl.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

namespace {

struct Pixel {
    uint8_t R, G, B;
    bool operator==(const Pixel&) const = default;
};

constexpr Pixel Black{0, 0, 0}, Green{0, 255, 0}, White{255, 255, 255};

// The shown frame's pixel at window coordinates with the origin at the top left.
Pixel ShownPixel(int x, int y) {
    glReadBuffer(GL_FRONT);
    std::vector<uint8_t> rgba = ReadPixelsRGBA(x, GetScreenSettings().Height - 1 - y, 1, 1);
    return {rgba[0], rgba[1], rgba[2]};
}

// A vertical line on a pixel boundary may light the column on either side.
bool EitherColumnIs(int x, int y, Pixel colour) {
    return ShownPixel(x - 1, y) == colour || ShownPixel(x, y) == colour;
}

bool StartWindow(int width, int height) {
    return InitEngine("Game", MakeScreenSettings(width, height));
}

} // namespace

// At 800 by 600 a window pixel is a unit of the 2D space: the bar spans x 200 to 600 and y 281.25
// to 318.75, filled from the left by the file index over the resource count.
TEST(LoadingScreen, FillsTheBarByTheShareOfFilesHandled) {
    ASSERT_TRUE(StartWindow(800, 600));
    DrawLoadingScreen(14, 7, 7);
    EXPECT_EQ(ShownPixel(205, 300), Green);
    EXPECT_EQ(ShownPixel(395, 300), Green);
    EXPECT_EQ(ShownPixel(405, 300), Black);
    EXPECT_EQ(ShownPixel(595, 300), Black);
    EXPECT_EQ(ShownPixel(300, 283), Green);
    EXPECT_EQ(ShownPixel(300, 279), Black);
    EXPECT_EQ(ShownPixel(300, 320), Black);
    EXPECT_EQ(ShownPixel(195, 300), Black);

    EXPECT_EQ(ShownPixel(500, 281), White);       // top edge
    EXPECT_EQ(ShownPixel(500, 318), White);       // bottom edge
    EXPECT_TRUE(EitherColumnIs(600, 300, White)); // right edge
    EXPECT_TRUE(EitherColumnIs(200, 290, White)); // left edge

    SaveFramebufferPPM("loading_screen.ppm", 800, 600);
}

TEST(LoadingScreen, ScalesToTheWindowAndStartsEmpty) {
    ASSERT_TRUE(StartWindow(400, 300));
    DrawLoadingScreen(4, 3, 3);
    EXPECT_EQ(ShownPixel(105, 150), Green);
    EXPECT_EQ(ShownPixel(245, 150), Green);
    EXPECT_EQ(ShownPixel(255, 150), Black);
    EXPECT_EQ(ShownPixel(95, 150), Black);

    DrawLoadingScreen(3, 1, 0);
    EXPECT_EQ(ShownPixel(110, 150), Black);

    // Every file so far failed: nothing to divide by, and nothing filled.
    DrawLoadingScreen(0, 0, 2);
    EXPECT_EQ(ShownPixel(110, 150), Black);
    EXPECT_EQ(ShownPixel(250, 140), White);
}
