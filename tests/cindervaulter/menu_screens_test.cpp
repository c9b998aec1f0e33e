// The menu screens as drawn: the items' colours and places.
#include "engine.h"
#include "game.h"
#include "menus.h"
#include "offscreen_gl.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>

namespace {

// White and green pixels of a rectangle given top-down, and its leftmost lit column.
std::array<int, 3> LitIn(int x0, int y0, int width, int height) {
    const std::vector<uint8_t> p = ReadPixelsRGBA(x0, 600 - y0 - height, width, height);
    std::array<int, 3> lit{0, 0, 9999};
    for (size_t i = 0; i < p.size(); i += 4) {
        lit[0] += p[i] > 0 && p[i] == p[i + 1] && p[i + 1] == p[i + 2];
        lit[1] += p[i] == 0 && p[i + 1] > 0 && p[i + 2] == 0;
        if (p[i] || p[i + 1]) lit[2] = std::min(lit[2], x0 + static_cast<int>(i / 4) % width);
    }
    return lit;
}

TEST(MenuScreens, ItemsAreWhiteButTheHighlightedGreenAndThePauseItemsSitFurtherLeft) {
    const std::string dir = MakeScratchDir("menu-screens");
    ASSERT_TRUE(BindEngine((dir + "/log.txt").c_str()));
    ASSERT_TRUE(Window->SetMode(false, 800, 600, 32, 75));
    GameInit();
    ClearSystem(MenuWorld); // the texts alone
    for (auto [page, selection, x] :
         {std::array{PageMain, NoSelection, 350}, std::array{PageMain, 1, 350},
          std::array{PagePause, 2, 335}}) {
        MenuPage = page;
        MenuSelection = selection;
        RenderProc();
        for (int i = 0; i < 3; ++i) {
            const auto item = LitIn(x - 30, 240 + 40 * i, 250, 36);
            SCOPED_TRACE(testing::Message()
                         << "page " << page << " item " << i << " left " << item[2]);
            EXPECT_EQ(item[1] > 20, i == selection);
            EXPECT_NE(item[0] > 20, i == selection);
            EXPECT_GE(item[2], x);
            EXPECT_LE(item[2], x + 2);
        }
    }
    ReleaseEngine();
    std::filesystem::remove_all(dir);
}

} // namespace
