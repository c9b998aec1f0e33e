// The menu screens as drawn: item colours and places, and the scene's lines.
#include "engine.h"
#include "game.h"
#include "menus.h"
#include "offscreen_gl.h"
#include "physics/physics.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

// What is lit in a rectangle of screen pixels (y downwards): white and green pixels, and the
// leftmost column and the rows of the lit ones.
struct Lit {
    int White = 0, Green = 0, Left = 9999, Top = 9999, Bottom = -1;
};

Lit LitIn(int x0, int y0, int width, int height) {
    const std::vector<uint8_t> rgba = ReadPixelsRGBA(x0, 600 - y0 - height, width, height);
    Lit lit;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const uint8_t* p = &rgba[(static_cast<size_t>(row) * width + column) * 4];
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
            lit.White += p[0] == p[1] && p[1] == p[2];
            lit.Green += p[0] == 0 && p[1] > 0 && p[2] == 0;
            const int y = y0 + height - 1 - row;
            lit.Left = std::min(lit.Left, x0 + column);
            lit.Top = std::min(lit.Top, y);
            lit.Bottom = std::max(lit.Bottom, y);
        }
    return lit;
}

TEST(MenuScreens, ItemsAreWhiteButTheHighlightedGreenAndThePauseItemsSitFurtherLeft) {
    const std::string dir = MakeScratchDir("menu-screens");
    ASSERT_TRUE(BindEngine((dir + "/log.txt").c_str()));
    ASSERT_TRUE(Window->SetMode(false, 800, 600, 32, 75));
    GameInit();
    GameScreen = 0;
    MenuCursorY = 250;
    MenuSelection = 0;
    MenuPage = 4; // no page: the scene alone
    MenuUpdate();
    RenderProc();
    EXPECT_GT(LitIn(330, 238, 130, 4).White, 100) << "the box's top edge, never enforced";
    EXPECT_GT(LitIn(318, 250, 4, 20).White, 15) << "its left edge";

    ClearSystem(MenuWorld); // the texts alone
    const struct {
        int32_t Page, Selection;
        int X;
    } frames[] = {{PageMain, NoSelection, 350}, {PageMain, 1, 350}, {PagePause, 2, 335}};
    for (auto frame : frames) {
        MenuPage = frame.Page;
        MenuSelection = frame.Selection;
        RenderProc();
        for (int i = 0; i < 3; ++i) {
            const int y = 250 + 40 * i;
            const Lit lit = LitIn(frame.X - 30, y - 10, 250, 36);
            const bool green = i == frame.Selection;
            EXPECT_EQ(lit.Green > 20, green) << "page " << frame.Page << " item " << i;
            EXPECT_EQ(lit.White > 20, !green) << "page " << frame.Page << " item " << i;
            EXPECT_GE(lit.Left, frame.X) << "page " << frame.Page << " item " << i;
            EXPECT_LE(lit.Left, frame.X + 2) << "page " << frame.Page << " item " << i;
            EXPECT_GE(lit.Top, y);
            EXPECT_LT(lit.Bottom, y + 16);
        }
    }
    ReleaseEngine();
    std::filesystem::remove_all(dir);
}

} // namespace
