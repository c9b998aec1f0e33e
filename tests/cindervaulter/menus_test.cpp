// The menus: the rope scene, the gliding box, and what each key does on each page.
#include "engine.h"
#include "game.h"
#include "map.h"
#include "menus.h"
#include "physics/physics.h"
#include "physics/utilite.h"
#include "run_program.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A map of scale 10 with one wall and two pickups, the player's start and the exit.
void WriteMap(const std::string& path) {
    const int32_t words[] = {10,  1,   2,   100, 100, 300, 300, 0, 200,
                             400, 200, 150, 150, 0,   250, 250, 7};
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(words), sizeof(words));
}

// The program as it starts: engine bound with a window, GameInit run, in a folder with map 1.
class Menus : public testing::Test {
  protected:
    void SetUp() override {
        Dir = MakeScratchDir("menus");
        fs::create_directory(Dir + "/maps");
        WriteMap(Dir + "/maps/map1.map");
        Home = fs::current_path();
        fs::current_path(Dir);
        ASSERT_TRUE(BindEngine("log.txt"));
        ASSERT_TRUE(Window->SetMode(false, 800, 600, 32, 75));
        Randomize(5);
        ClearSystem(MenuWorld);
        GameInit();
        GameScreen = 0;
    }
    void TearDown() override {
        ReleaseEngine();
        fs::current_path(Home);
        fs::remove_all(Dir);
    }
    std::string Dir;
    fs::path Home;
};

TEST_F(Menus, TheSceneHangsFourChainsFromPinnedScreenCornersToThePinnedBox) {
    EXPECT_EQ(MenuWorld.ParticleCount, 60);
    EXPECT_EQ(MenuWorld.ConstraintCount, 60);
    const struct {
        int32_t Index;
        float X, Y;
    } pins[] = {{0, 0, 0},
                {1, 0, 600},
                {2, 800, 600},
                {3, 800, 0},
                {BoxCorners[0], 300, 300},
                {BoxCorners[1], 300, 300},
                {BoxCorners[2], 500, 200},
                {BoxCorners[3], 500, 300}};
    int pinned = 0;
    for (int32_t i = 0; i < 60; ++i) pinned += MenuWorld.Pinned[static_cast<size_t>(i)];
    EXPECT_EQ(pinned, 8);
    for (auto pin : pins) {
        const TVec3& p = MenuWorld.Positions[static_cast<size_t>(pin.Index)];
        EXPECT_TRUE(MenuWorld.Pinned[static_cast<size_t>(pin.Index)]) << pin.Index;
        EXPECT_EQ(p.x, pin.X) << pin.Index;
        EXPECT_EQ(p.y, pin.Y) << pin.Index;
    }
    // Each chain hangs from its screen corner and ends tied to its box corner; the box closes last.
    const struct {
        int32_t Anchor, First, Last, Box, AnchorStick;
        float Rest;
    } chains[] = {{0, 4, 18, BoxCorners[0], 14, 50},
                  {3, 20, 34, BoxCorners[3], 30, 50},
                  {1, 36, 46, BoxCorners[1], 42, 30},
                  {2, 48, 58, BoxCorners[2], 54, 30}};
    for (auto c : chains) {
        const TConstraint& top = MenuWorld.Constraints[static_cast<size_t>(c.AnchorStick)];
        const TConstraint& tie = MenuWorld.Constraints[static_cast<size_t>(c.AnchorStick + 1)];
        EXPECT_EQ(top.A, c.Anchor);
        EXPECT_EQ(top.B, c.First);
        EXPECT_EQ(tie.A, c.Box);
        EXPECT_EQ(tie.B, c.Last);
        EXPECT_EQ(tie.RestLength, c.Rest);
        EXPECT_EQ(c.Box, c.Last + 1);
    }
    for (int32_t k = 0; k < 4; ++k) {
        const TConstraint& edge = MenuWorld.Constraints[static_cast<size_t>(56 + k)];
        EXPECT_EQ(edge.Kind, KindLink);
        EXPECT_EQ(edge.A, BoxCorners[k]);
        EXPECT_EQ(edge.B, BoxCorners[(k + 1) % 4]);
    }
}

TEST_F(Menus, TheBoxGlidesASeventhOfTheWayAndItsCornersStayPut) {
    MenuCursorY = 250;
    MenuSelection = 1;
    MenuUpdate();
    EXPECT_NEAR(MenuCursorY, 255.71f, 0.01f);
    const TVec3 tl = MenuWorld.Positions[static_cast<size_t>(BoxCorners[0])];
    const TVec3 br = MenuWorld.Positions[static_cast<size_t>(BoxCorners[2])];
    EXPECT_EQ(tl.x, 320);
    EXPECT_FLOAT_EQ(tl.y, MenuCursorY - 10);
    EXPECT_EQ(br.x, 470);
    EXPECT_FLOAT_EQ(br.y, MenuCursorY + 30);
    const float placed = br.y;
    MenuSelection = 0;
    MenuCursorY = 250; // the box is now put back, and the step before held it where it was put
    MenuUpdate();
    EXPECT_LT(MenuWorld.Positions[static_cast<size_t>(BoxCorners[2])].y, placed);
    EXPECT_EQ(MenuWorld.PrevPositions[static_cast<size_t>(BoxCorners[2])].y, placed);
}

// Pages, selection, level and screen after each key, from the main menu at level 1 with map 1 only.
TEST_F(Menus, KeysWalkThePagesAsTheTablesSay) {
    struct Step {
        int32_t Key;
        int32_t Page, Selection, Level, Screen;
    };
    const Step steps[] = {
        {38, 0, 2, 1, 0}, {40, 0, 0, 1, 0}, {40, 0, 1, 1, 0}, {13, 3, 8, 1, 0},
        {38, 3, 8, 1, 0}, {27, 0, 0, 1, 0}, {13, 2, 8, 1, 0}, {37, 2, 8, 1, 0},
        {39, 2, 8, 2, 0}, {13, 5, 8, 2, 0}, {13, 5, 8, 2, 0}, {27, 2, 8, 2, 0},
        {37, 2, 8, 1, 0}, {27, 0, 0, 1, 0}, {13, 2, 8, 1, 0}, {13, 2, 8, 1, 1},
    };
    for (const Step& s : steps) {
        MenuKey(s.Key);
        EXPECT_EQ(MenuPage, s.Page) << "key " << s.Key << " to page " << s.Page;
        EXPECT_EQ(MenuSelection, s.Selection) << "key " << s.Key << " to page " << s.Page;
        EXPECT_EQ(LevelNumber, s.Level) << "key " << s.Key << " to page " << s.Page;
        EXPECT_EQ(GameScreen, s.Screen) << "key " << s.Key << " to page " << s.Page;
    }
}

TEST_F(Menus, PauseRestartsContinuesAndLeavesKeepingTheLevel) {
    LevelNumber = 1;
    ASSERT_TRUE(LoadMap("map1.map"));
    Pickups[0].Active = false;
    CollectedCount = 1;
    GameScreen = 0;
    MenuPage = PagePause;
    MenuSelection = 0;
    MenuKey(27);
    EXPECT_EQ(MenuPage, PagePause) << "Esc does nothing on the pause page";
    MenuKey(40);
    MenuKey(13);
    EXPECT_EQ(GameScreen, 1);
    EXPECT_EQ(CollectedCount, 0);
    EXPECT_TRUE(Pickups[0].Active && Pickups[1].Active);

    GameScreen = 0;
    MenuSelection = 0;
    MenuKey(13);
    EXPECT_EQ(GameScreen, 1) << "Continue";
    GameScreen = 0;
    LevelNumber = 3;
    MenuSelection = 2;
    MenuKey(13);
    EXPECT_EQ(MenuPage, PageMain);
    EXPECT_EQ(MenuSelection, 0);
    MenuKey(13);
    EXPECT_EQ(MenuPage, PageLevel);
    EXPECT_EQ(LevelNumber, 3) << "New game starts from the last level";
}

int StepsLeft = 0;

void PushKey(SDL_Scancode scancode, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    SDL_PushEvent(&event);
}

// The engine reports a press in one step only, and the menu step looks at it once.
TEST_F(Menus, OnePressActsOnce) {
    Engine->SetProc(ProcUpdate, [] {
        UpdateProc();
        if (--StepsLeft == 0) Engine->Quit();
    });
    PushKey(SDL_SCANCODE_DOWN, true);
    PushKey(SDL_SCANCODE_DOWN, false);
    StepsLeft = 4;
    Engine->Run(30);
    EXPECT_EQ(MenuSelection, 1);
    EXPECT_EQ(StepsLeft, 0);
}

TEST_F(Menus, ExitEmptiesTheSceneAndEndsTheLoop) {
    Engine->SetProc(ProcUpdate, [] {
        UpdateProc();
        if (--StepsLeft == 0) Engine->Quit();
    });
    MenuSelection = 2;
    PushKey(SDL_SCANCODE_RETURN, true);
    StepsLeft = 100;
    Engine->Run(30);
    EXPECT_GT(StepsLeft, 90) << "the loop ended at the Exit item";
    EXPECT_EQ(MenuWorld.ParticleCount, 0);
    EXPECT_EQ(MenuWorld.ConstraintCount, 0);
}

} // namespace
