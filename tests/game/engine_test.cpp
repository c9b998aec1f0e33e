// The platform layer offscreen: what a start leaves behind (or, failing, does not), the GL state
// and projections the game draws with, and the events that become keys, mouse and the loop flag.
#include "engine/engine.h"

#include "game_support.h"
#include "offscreen_gl.h"

#include <GL/gl.h>
#include <SDL.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <tuple>
#include <vector>

namespace {

GLint Integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

bool NothingLeft() {
    return !EngineRunning && SDL_WasInit(SDL_INIT_VIDEO) == 0 && !SDL_GL_GetCurrentContext();
}

} // namespace

TEST(InitEngine, OpensAWindowOfTheSizeWithTheStartingGLState) {
    SeedRandom(1);
    int32_t fromFixedSeed = Random(1000000000);
    SeedRandom(1);
    ASSERT_TRUE(InitEngine("Game", MakeScreenSettings(400, 300)));
    EXPECT_NE(Random(1000000000), fromFixedSeed); // seeded afresh from the clock
    EXPECT_TRUE(EngineRunning);
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(window), "Game");
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 300);
    EXPECT_FALSE(SDL_GetWindowFlags(window) & SDL_WINDOW_HIDDEN);
    EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE); // the picture is letterboxed
    EXPECT_EQ(GetScreenSettings().Width, 400);
    EXPECT_EQ(GetScreenSettings().VirtualHeight, 600);

    GLfloat clear[4] = {1, 1, 1, 1};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0);
    EXPECT_EQ(Integer(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(Integer(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_EQ(Integer(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(Integer(GL_BLEND_SRC), GL_ONE);
    EXPECT_EQ(Integer(GL_BLEND_DST), GL_ZERO);
    EXPECT_GE(Integer(GL_DEPTH_BITS), 16);
}

TEST(InitEngine, SizesThatCannotBeShownFailAndLeaveNothing) {
    for (TScreenSettings bad :
         {MakeScreenSettings(0, 600), MakeScreenSettings(800, 0), MakeScreenSettings(-800, 600),
          MakeScreenSettings(100000, 600), MakeScreenSettings(800, 100000),
          MakeScreenSettings(0, 600, true), MakeScreenSettings(100000, 100000, true)}) {
        ASSERT_TRUE(InitEngine("Game", MakeScreenSettings(320, 240)));
        EXPECT_FALSE(InitEngine("Game", bad)) << bad.Width << " by " << bad.Height;
        EXPECT_TRUE(NothingLeft()) << bad.Width << " by " << bad.Height;
    }
}

TEST(InitEngine, FailsWithoutAVideoDriver) {
    setenv("SDL_VIDEODRIVER", "none", 1);
    EXPECT_FALSE(InitEngine("Game", MakeScreenSettings(800, 600)));
    EXPECT_TRUE(NothingLeft());
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    EXPECT_TRUE(InitEngine("Game", MakeScreenSettings(800, 600)));
}

// The offscreen display takes any mode, so a full-screen start changes it to the configured size,
// and a windowed start afterwards finds the desktop mode back.
TEST(InitEngine, FullScreenChangesTheDisplayModeToTheConfiguredSize) {
    ASSERT_TRUE(InitEngine("Game", MakeScreenSettings(320, 240)));
    SDL_DisplayMode desktop{};
    ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &desktop), 0);

    ASSERT_TRUE(InitEngine("Game", MakeScreenSettings(640, 480, true)));
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN);
    SDL_DisplayMode mode{};
    ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &mode), 0);
    EXPECT_EQ(mode.w, 640);
    EXPECT_EQ(mode.h, 480);

    ASSERT_TRUE(InitEngine("Game", MakeScreenSettings(320, 240)));
    ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &mode), 0);
    EXPECT_EQ(mode.w, desktop.w);
    EXPECT_EQ(mode.h, desktop.h);
}

// Whatever the window's size, the 2D space is 800 by 600 with y downwards, letterboxed into it
// with its 4:3 shape, and the perspective keeps that aspect.
TEST(SetProjection, MapsTheVirtualSpaceOntoTheLetterboxedWindow) {
    ASSERT_TRUE(InitEngine("Game", MakeScreenSettings(400, 200)));
    SetProjection(false);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{66, 0, 267, 200}));

    BeginFrame();
    glColor3f(1, 0, 0);
    glRectf(600, 0, 800, 150); // the top right corner of the space: x 266 to 333, y 150 to 200
    for (auto [x, y, red] : {std::tuple{320, 190, 255},
                             {320, 140, 0},
                             {250, 190, 0},
                             {350, 190, 0}}) // inside, below, left, in the right-hand bar
        EXPECT_EQ(ReadPixelsRGBA(x, y, 1, 1)[0], red) << x << "," << y;

    SetProjection(true);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLfloat m[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    float f = 1 / std::tan(22.5f * static_cast<float>(M_PI) / 180);
    EXPECT_NEAR(m[5], f, 1e-5);
    EXPECT_NEAR(m[0], f * 3 / 4, 1e-5);
    EXPECT_NEAR(m[10], -(1000 + 0.1) / (1000 - 0.1), 1e-5);
    EXPECT_NEAR(m[14], -2 * 1000 * 0.1 / (1000 - 0.1), 1e-5);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[0] + m[5] + m[10] + m[15], 4);
}

class Input : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(InitEngine("Game", MakeScreenSettings(320, 240)));
        ProcessMessages(); // whatever the new window announced
        std::fill(std::begin(Keys), std::end(Keys), false);
    }

    static void Key(Uint32 type, SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.sym = sym;
        event.key.keysym.mod = mod;
        SDL_PushEvent(&event);
    }

    static void Button(Uint32 type, Uint8 button) {
        SDL_Event event{};
        event.type = type;
        event.button.button = button;
        SDL_PushEvent(&event);
    }

    static int KeysDown() {
        return static_cast<int>(std::count(std::begin(Keys), std::end(Keys), true));
    }
};

TEST_F(Input, KeysAreSetAndClearedAtTheirVirtualKeyCodes) {
    struct Case {
        SDL_Keycode Sym;
        int Code;
    };
    for (Case key : {Case{SDLK_a, 'A'},
                     {SDLK_z, 'Z'},
                     {SDLK_0, '0'},
                     {SDLK_9, '9'},
                     {SDLK_SPACE, VK_SPACE},
                     {SDLK_RETURN, VK_RETURN},
                     {SDLK_KP_ENTER, VK_RETURN},
                     {SDLK_ESCAPE, VK_ESCAPE},
                     {SDLK_TAB, VK_TAB},
                     {SDLK_BACKSPACE, VK_BACK},
                     {SDLK_LEFT, VK_LEFT},
                     {SDLK_UP, VK_UP},
                     {SDLK_RIGHT, VK_RIGHT},
                     {SDLK_DOWN, VK_DOWN},
                     {SDLK_F1, VK_F1},
                     {SDLK_F12, VK_F12},
                     {SDLK_KP_0, 0x60},
                     {SDLK_KP_9, 0x69},
                     {SDLK_LSHIFT, 0x10},
                     {SDLK_RCTRL, 0x11},
                     {SDLK_DELETE, 0x2E}}) {
        Key(SDL_KEYDOWN, key.Sym);
        EXPECT_TRUE(ProcessMessages());
        EXPECT_TRUE(Keys[key.Code]) << SDL_GetKeyName(key.Sym);
        EXPECT_EQ(KeysDown(), 1) << SDL_GetKeyName(key.Sym);
        Key(SDL_KEYUP, key.Sym);
        ProcessMessages();
        EXPECT_EQ(KeysDown(), 0) << SDL_GetKeyName(key.Sym);
    }
    EXPECT_FALSE(ProcessMessages());
}

TEST_F(Input, KeysWithoutACodeAndSystemKeysChangeNothing) {
    Key(SDL_KEYDOWN, SDLK_AUDIOPLAY);
    Key(SDL_KEYDOWN, SDLK_LALT);
    Key(SDL_KEYDOWN, SDLK_F10);
    Key(SDL_KEYDOWN, SDLK_x, KMOD_LALT);
    ProcessMessages();
    EXPECT_EQ(KeysDown(), 0);

    Key(SDL_KEYDOWN, SDLK_x);
    Key(SDL_KEYUP, SDLK_x, KMOD_LALT); // a release under Alt still lets the key go
    ProcessMessages();
    EXPECT_EQ(KeysDown(), 0);
}

TEST_F(Input, MouseButtonsAndPositionAndAConsumedPress) {
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1);
    ProcessMessages();
    EXPECT_TRUE(Keys[VK_LBUTTON]);
    EXPECT_TRUE(Keys[VK_RBUTTON]);
    EXPECT_TRUE(Keys[VK_MBUTTON]);
    EXPECT_EQ(KeysDown(), 3);

    Keys[VK_LBUTTON] = false; // a reader takes the click
    ProcessMessages();
    EXPECT_FALSE(Keys[VK_LBUTTON]);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    ProcessMessages();
    EXPECT_TRUE(Keys[VK_LBUTTON]);

    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE);
    ProcessMessages();
    EXPECT_EQ(KeysDown(), 0);

    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 123;
    motion.motion.y = 45;
    SDL_PushEvent(&motion);
    ProcessMessages();
    EXPECT_EQ(MousePos.X, 123);
    EXPECT_EQ(MousePos.Y, 45);
    motion.motion.x = -1; // outside the window while a button holds the mouse
    SDL_PushEvent(&motion);
    ProcessMessages();
    EXPECT_EQ(MousePos.X, 65535);
}

// The south button is space, start is Enter, the d-pad and the stick (past half its travel, let go
// below a quarter) are the arrows; a pad that goes away lets its keys go.
TEST_F(Input, GamepadButtonsAndStickActAsKeys) {
    auto send = [](Uint32 type, int which, Sint16 value = 0) {
        SDL_Event event{};
        event.type = type;
        event.cbutton.button = static_cast<Uint8>(which); // or, for the stick, the axis
        event.caxis.value = value;
        SDL_PushEvent(&event);
        ProcessMessages();
        std::vector<int> down;
        for (int code = 0; code < 256; ++code)
            if (Keys[code]) down.push_back(code);
        return down;
    };
    const Uint32 Down = SDL_CONTROLLERBUTTONDOWN, Up = SDL_CONTROLLERBUTTONUP;
    const Uint32 Stick = SDL_CONTROLLERAXISMOTION;
    using V = std::vector<int>;
    EXPECT_EQ(send(Down, SDL_CONTROLLER_BUTTON_A), V{VK_SPACE});
    EXPECT_EQ(send(Down, SDL_CONTROLLER_BUTTON_START), (V{VK_RETURN, VK_SPACE}));
    EXPECT_EQ(send(Up, SDL_CONTROLLER_BUTTON_A), V{VK_RETURN});
    EXPECT_EQ(send(Up, SDL_CONTROLLER_BUTTON_START), V{});
    EXPECT_EQ(send(Down, SDL_CONTROLLER_BUTTON_DPAD_RIGHT), V{VK_RIGHT});
    EXPECT_EQ(send(Up, SDL_CONTROLLER_BUTTON_DPAD_RIGHT), V{});
    EXPECT_EQ(send(Down, SDL_CONTROLLER_BUTTON_B), V{});
    for (auto [value, down] : {std::pair{-12000, V{}},
                               {-20000, V{VK_LEFT}},
                               {-9000, V{VK_LEFT}},
                               {30000, V{VK_RIGHT}},
                               {0, V{}},
                               {-32768, V{VK_LEFT}}})
        EXPECT_EQ(send(Stick, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(value)), down)
            << value;
    EXPECT_TRUE(TakePress(VK_SPACE));
    EXPECT_TRUE(TakePress(VK_RETURN));
    EXPECT_FALSE(TakePress(VK_SPACE)) << "a press is taken once";
    send(Down, SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(send(SDL_CONTROLLERDEVICEREMOVED, 0), V{}); // cdevice.which 0: no pad was opened
}

TEST_F(Input, ClosingTheWindowOrAQuitRequestStopsTheEngine) {
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&close);
    ProcessMessages();
    EXPECT_FALSE(EngineRunning);
    EXPECT_TRUE(SDL_GetWindowFlags(SDL_GL_GetCurrentWindow()) & SDL_WINDOW_HIDDEN);

    ASSERT_TRUE(InitEngine("Game", MakeScreenSettings(320, 240)));
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    ProcessMessages();
    EXPECT_FALSE(EngineRunning);
}
