// The rules driven tick by tick on the test's own clock, and the menu drawn offscreen.
#include "menu.h"
#include "modes.h"

#include "creature.h"
#include "offscreen_gl.h"
#include "startup.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

uint32_t Now = 0;
// Plays ticks 10 ms apart; with a mode, in a new game long after the splash with obstacle 0 given.
void Play(int ticks, TGameState mode = gsSplash, float lane = 0, TObstacle first = {}) {
    TickSource = [] { return Now += 10; };
    if (mode != gsSplash) {
        SeedRandom(7);
        NewGame(mode);
        LanePos = lane;
        Obstacles = {first, {230, 1}, {260, 1}, {290, 1}, {320, 1}, {350, 1}, {380, 1}};
        Now = StartTick + 5000;
    }
    for (int tick = 0; tick < ticks; ++tick) UpdateGame();
}

TEST(Rules, TheSplashHolds2000MsThenAJumpGameStartsByItself) {
    GameState = gsMove;
    Now = (StartTick = 0xFFFFF830) - 10; // the counter wraps just as the splash ends
    Play(200);
    EXPECT_EQ(GameState, gsSplash);
    Play(2);
    EXPECT_EQ(GameState, gsJump);
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(Obstacles.size(), 7u);
}

// Obstacle 0 starts 5 ahead, alongside from its first advance for 17 of the 20 ticks; only a
// Move-mode bounce takes the press of space. Halves round to even (the last four).
TEST(Rules, ContactsFallBounceAndPassInEachMode) {
    using C = std::tuple<TGameState, float, TObstacle, bool, int32_t, float, float>;
    for (auto [mode, lane, first, space, score, distance, offset] :
         {C{gsJump, 0, {5, 2}, false, 66, -7, 0}, C{gsJump, 0, {5, 1}, false, 0, 4.4f, 0},
          C{gsMove, -10, {5, 3}, false, 17, -7, 0}, C{gsMove, 10, {5, 3}, false, 0, 4.4f, 0},
          C{gsMove, 10, {5, 4}, true, 66, -7, 0}, C{gsStop, 0, {0, 2, -6, .25f}, true, 50, 0, -1},
          C{gsStop, 0, {4.5f, 2}, true, 0, 4.5f, 0}, C{gsStop, 0, {-5.5f, 2}, true, 50, -5.5f, 0},
          C{gsStop, 0, {0, 2, -4.5f}, true, 0, 0, -4.5f},
          C{gsStop, 0, {0, 2, 5.5f}, true, 50, 0, 5.5f}}) {
        Keys[VK_SPACE] = space;
        Play(20, mode, lane, first);
        SCOPED_TRACE(testing::Message() << int(mode) << " " << first.Distance << ": " << Score);
        EXPECT_EQ(Score, score);
        EXPECT_EQ(Sinking, first.Kind % 2 == 1 && score == 0);
        EXPECT_EQ(JumpHeight < 0, Sinking);
        EXPECT_EQ(Keys[VK_SPACE], space && mode == gsStop);
        EXPECT_EQ(Obstacles[0].Offset, offset);
        EXPECT_NEAR(Obstacles[0].Distance, distance, 1e-3);
    }
}

// Obstacle 0 comes within 25 of obstacle 1 and is sent back, to come back 100 to 149 ahead; a third
// at 125 is near wherever that is; in Move mode an obstacle in the other lane does not count.
TEST(Rules, SpacingSendsTheLowerIndexBackToRespawnAhead) {
    for (auto [mode, third, low, high] : {std::tuple{gsJump, 400.f, 100.f, 149.f},
                                          {gsJump, 125.f, -100.f, -100.f},
                                          {gsMove, 400.f, 48.8f, 48.8f}}) {
        Play(0, mode, -10, {50, 1});
        Obstacles[1] = {60.6f, uint8_t(mode == gsMove ? 3 : 1)};
        Obstacles[2].Distance = third;
        Play(2);
        EXPECT_GT(Obstacles[0].Distance, low - 1e-3) << third << ": " << Obstacles[0].Distance;
        EXPECT_LT(Obstacles[0].Distance, high + 1e-3) << third << ": " << Obstacles[0].Distance;
    }
}

// Hands the engine a key's press and release, both before the next tick looks; or only a repeat
// of a key held down, which is no new press.
void Tap(SDL_Keycode key, bool repeat = false) {
    SDL_InitSubSystem(SDL_INIT_EVENTS);
    for (Uint32 type : {Uint32(SDL_KEYDOWN), Uint32(SDL_KEYUP)}) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.sym = key;
        event.key.repeat = repeat;
        SDL_PushEvent(&event);
        if (repeat) break;
    }
    ProcessMessages();
}

// A tap of space shorter than a tick acts once in each mode: a jump, a lane change, a halt of one
// tick.
TEST(Rules, ASpaceTapBetweenTicksActsOnce) {
    for (TGameState mode : {gsJump, gsMove, gsStop}) {
        Keys[VK_SPACE] = false;
        ForgetPresses();
        Play(0, mode, -10, {400, 1});
        Tap(SDLK_SPACE);
        Play(1);
        EXPECT_EQ(std::tuple(JumpSpeed != 0, LaneSpeed != 0, Stopped),
                  std::tuple(mode == gsJump, mode == gsMove, mode == gsStop));
        Play(100);
        EXPECT_EQ(std::tuple(JumpSpeed, LaneSpeed, Stopped), std::tuple(0.0f, 0.0f, false))
            << int(mode);
    }
}

// After a fall only Enter or a new press of space starts the mode again; a space held through the
// fall does not. Enter starts it afresh during a game too.
TEST(Rules, AfterAFallEnterOrANewSpaceStartsTheSameModeAgain) {
    // The mode, the key, whether it only repeats (held from before the fall), a fall, a restart.
    using C = std::tuple<TGameState, SDL_Keycode, bool, bool, bool>;
    for (auto [mode, key, held, fall, restarts] :
         {C{gsJump, SDLK_RETURN, false, true, true}, C{gsMove, SDLK_SPACE, false, true, true},
          C{gsStop, SDLK_RETURN, false, true, true}, C{gsJump, SDLK_SPACE, true, true, false},
          C{gsJump, SDLK_a, false, true, false}, C{gsMove, SDLK_RETURN, false, false, true}}) {
        Keys[VK_SPACE] = false;
        ForgetPresses();
        Play(0, mode, -10, {fall ? 5.0f : 400.0f, 1});
        Play(20);
        ASSERT_EQ(IsGameOver(), fall);
        Obstacles[1].Distance = 7; // a new game puts it back at -150
        Tap(key, held);
        Play(1);
        Keys[VK_SPACE] = false;
        EXPECT_EQ(Obstacles[1].Distance == -150, restarts) << int(mode) << " " << key;
        EXPECT_EQ(GameState, mode);
        EXPECT_EQ(IsGameOver(), fall && !restarts) << int(mode) << " " << key;
    }
}

TEST(Rules, EachModeHintsWhatSpaceDoesInIt) {
    for (auto [mode, word] : {std::pair{gsJump, "jump"}, {gsMove, "lane"}, {gsStop, "halt"}})
        EXPECT_NE(std::string(ModeHint(mode)).find(word), std::string::npos) << int(mode);
}

using Colours = std::set<std::vector<uint8_t>>;
// Draws the menu with the mouse at (x, y); the colours drawn on the label "New Move".
Colours DrawMenu(int32_t x, int32_t y) {
    MousePos = {x, y};
    BeginFrame();
    SetProjection(false);
    DrawHudAndMenu();
    std::vector<uint8_t> p = ReadPixelsRGBA(24, 600 - 72, 162 - 24, 72 - 60);
    Colours found;
    for (size_t i = 0; i < p.size(); i += 4)
        if (p[i] || p[i + 1] || p[i + 2]) found.insert({p[i], p[i + 1], p[i + 2]});
    return found;
}

// Clicks about "New Move" (24, 60, 162, 72) in windows of three sizes, the last letterboxed with
// bars 166 pixels wide, held for two frames; then "Exit".
TEST(Menu, HoverColoursClicksAtAnyWindowSizeExitAndNoFont) {
    ScreenSettings = {800, 600, 800, 600, 32, 0, false};
    ASSERT_TRUE(InitEngine("Game", ScreenSettings));
    TFileNameList font{{"font", GAME_RUN_DIR "/Resources/font.ttf", 12, 0, 700}};
    ASSERT_TRUE(LoadResources(font, Resources, nullptr));
    using K = std::tuple<int32_t, int32_t, int32_t, int32_t, bool>;
    for (auto [width, height, x, y, starts] :
         {K{800, 600, 100, 66, true}, K{800, 600, 100, 72, false}, K{800, 600, 162, 66, false},
          K{1600, 1200, 200, 132, true}, K{1600, 1200, 200, 144, false},
          K{1000, 500, 249, 55, true}, K{1000, 500, 100, 55, false}, K{800, 600, 30, 114, false}}) {
        SDL_SetWindowSize(SDL_GL_GetCurrentWindow(), width, height);
        GameState = gsJump;
        Keys[VK_LBUTTON] = true;
        Colours label = DrawMenu(x, y);
        Score = 5;
        DrawMenu(x, y);
        EXPECT_EQ(GameState, starts ? gsMove : gsJump) << x << "," << y;
        EXPECT_EQ(Score, 5) << x << "," << y;
        if (width == 800) {
            EXPECT_EQ(label, (starts ? Colours{{64, 255, 64}} : Colours{{64, 64, 255}}));
        }
    }

    // The menu's keys: S starts a Stop game; Esc exits only when pressed twice.
    EngineRunning = true; // "Exit" was clicked above
    for (auto [key, state, running] : {std::tuple{SDLK_s, gsStop, true},
                                       {SDLK_m, gsMove, true},
                                       {SDLK_ESCAPE, gsMove, true},
                                       {SDLK_ESCAPE, gsMove, false}}) {
        Tap(key);
        DrawMenu(0, 0);
        EXPECT_EQ(GameState, state) << SDL_GetKeyName(key);
        EXPECT_EQ(EngineRunning, running) << SDL_GetKeyName(key);
    }

    FreeResources(Resources);
    Resources.clear(); // without the font nothing shows and a click does nothing
    GameState = gsJump;
    EXPECT_TRUE(DrawMenu(100, 66).empty());
    EXPECT_EQ(GameState, gsJump);
}

} // namespace
