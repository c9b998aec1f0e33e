// The menus as the program starts them, in a folder with maps 1 and 2 (scale 10, no walls, two
// pickups; map 2 goes halfway): the rope scene, the gliding box, and each key on each page through
// the engine's loop.
#include "engine.h"
#include "game.h"
#include "map.h"
#include "map_files.h"
#include "menus.h"
#include "physics/utilite.h"
#include "run_program.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace {

int StepsLeft = 0;

TEST(Menus, TheBoxHangsAndGlidesAndKeysWalkThePagesOnePressActingOnce) {
    const std::string dir = MakeScratchDir("menus");
    std::filesystem::create_directory(dir + "/maps");
    for (const char* name : {"/maps/map1.map", "/maps/map2.map"})
        WriteMapFile(dir + name, {10, 0, 2, 100, 100, 300, 300, 400, 400, 0, 350, 100, 7});
    const auto home = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    ASSERT_TRUE(BindEngine("log.txt"));
    ASSERT_TRUE(Window->SetMode(false, 800, 600, 32, 75));
    Randomize(5);
    ClearSystem(MenuWorld); // a repeated run starts from an empty scene too
    GameScreen = 0;
    GameInit();
    EXPECT_EQ(MenuWorld.ParticleCount, 60);
    EXPECT_EQ(MenuWorld.ConstraintCount, 60);
    const int pins[8][3] = {{0, 0, 0},      {1, 0, 600},    {2, 800, 600},  {3, 800, 0},
                            {19, 300, 300}, {47, 300, 300}, {59, 500, 200}, {35, 500, 300}};
    const std::vector<TVec3>& at = MenuWorld.Positions;
    for (auto [i, x, y] : pins) {
        EXPECT_TRUE(MenuWorld.Pinned[i]) << i;
        EXPECT_EQ(at[i].x, x) << i;
        EXPECT_EQ(at[i].y, y) << i;
    }
    MenuCursorY = 250;
    MenuSelection = 1;
    MenuUpdate();
    EXPECT_NEAR(MenuCursorY, 255.71f, 0.01f);
    EXPECT_EQ(MenuWorld.Positions[59].y, MenuCursorY + 30) << "the bottom-right corner";
    // Each key pressed and released, then two steps: page, selection, level, screen after it.
    Engine->SetProc(ProcUpdate, [] {
        UpdateProc();
        if (--StepsLeft == 0) Engine->Quit();
    });
    const SDL_Scancode U = SDL_SCANCODE_UP, D = SDL_SCANCODE_DOWN, L = SDL_SCANCODE_LEFT,
                       R = SDL_SCANCODE_RIGHT, E = SDL_SCANCODE_RETURN, X = SDL_SCANCODE_ESCAPE;
    const std::tuple<SDL_Scancode, int, int, int, int> presses[] = {
        // clang-format off
        {D, 0, 2, 1, 0}, {D, 0, 0, 1, 0}, {U, 0, 2, 1, 0}, {U, 0, 1, 1, 0}, {E, 3, 8, 1, 0},
        {X, 0, 0, 1, 0}, {E, 2, 8, 1, 0}, {L, 2, 8, 2, 0}, {R, 2, 8, 1, 0}, {R, 2, 8, 2, 0},
        {E, 5, 8, 2, 0}, {X, 2, 8, 2, 0}, {L, 2, 8, 1, 0}, {E, 2, 8, 1, 1}, {X, 1, 0, 1, 0},
        {X, 1, 0, 1, 0}, {D, 1, 1, 1, 0}, {E, 1, 1, 1, 1}, {X, 1, 0, 1, 0}, {E, 1, 0, 1, 1},
        {X, 1, 0, 1, 0}, {U, 1, 2, 1, 0}, {E, 0, 0, 1, 0}, {E, 2, 8, 1, 0},
        // clang-format on
    };
    for (size_t i = 0; i < std::size(presses); ++i) {
        const auto [key, page, selection, level, screen] = presses[i];
        // Map 2 goes while it is chosen: Enter then shows the load error, and the choice wraps
        // within the one map left.
        if (i == 10) std::filesystem::remove(dir + "/maps/map2.map");
        if (screen == 1 && MenuPage == PagePause && MenuSelection == 1) {
            Pickups[0].Active = false; // collected, then Restart level
            CollectedCount = 1;
        }
        for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
            SDL_Event event{};
            event.key.type = type;
            event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
            event.key.keysym.scancode = key;
            SDL_PushEvent(&event);
        }
        StepsLeft = 2;
        Engine->Run(30);
        EXPECT_EQ(std::make_tuple(MenuPage, MenuSelection, LevelNumber, GameScreen),
                  std::make_tuple(page, selection, level, screen))
            << "press " << i;
        EXPECT_TRUE(GameScreen == 0 || (CollectedCount == 0 && Pickups[0].Active)) << i;
    }
    ReleaseEngine();
    std::filesystem::current_path(home);
    std::filesystem::remove_all(dir);
}

} // namespace
