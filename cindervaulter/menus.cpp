#include "menus.h"

#include "engine.h"
#include "game.h"
#include "levels.h"
#include "map.h"
#include "physics/physics.h"
#include "physics/utilite.h"

int32_t MenuPage = PageMain;
int32_t MenuSelection = 0;
int32_t LevelNumber = 1;
float MenuCursorY = 0;
int32_t BoxCorners[4] = {};

const char* const MenuTexts[6] = {
    "New game", "About", "Exit", "Continue the game", "Restart the level", "To the main menu",
};

namespace {

int32_t AddPoint(float x, float y) {
    return AddParticle(MenuWorld, VecMake(x, y, 0), 1);
}

void AddStick(int32_t a, int32_t b, float restLength) {
    AddConstraint(MenuWorld, MakeConstraint(a, b, KindStick, restLength));
}

// A chain of `count` particles from (x0, y0) stepping by (dx, dy) with a random sag of up to 9
// pixels, hung from `anchor` and tied to a new pinned box corner at `corner`; returns that corner.
int32_t HangChain(int32_t anchor, int32_t count, float x0, float y0, float dx, float dy, float link,
                  TVec3 corner) {
    const int32_t first = MenuWorld.ParticleCount;
    for (int32_t i = 0; i < count; ++i)
        AddPoint(x0 + dx * static_cast<float>(i),
                 y0 + dy * static_cast<float>(i) + static_cast<float>(Random(10)));
    const int32_t last = first + count - 1;
    for (int32_t i = first; i < last; ++i) AddStick(i, i + 1, link);
    AddStick(anchor, first, link);
    const int32_t box = AddPoint(corner.x, corner.y);
    PinParticle(MenuWorld, box);
    AddStick(box, last, link);
    return box;
}

} // namespace

void BuildMenuScene() {
    ReserveParticles(MenuWorld, 100);
    ReserveConstraints(MenuWorld, 100);
    const int32_t topLeft = AddPoint(0, 0);
    const int32_t bottomLeft = AddPoint(0, 600);
    const int32_t bottomRight = AddPoint(800, 600);
    const int32_t topRight = AddPoint(800, 0);
    for (int32_t corner : {topLeft, bottomLeft, bottomRight, topRight})
        PinParticle(MenuWorld, corner);
    BoxCorners[0] = HangChain(topLeft, 15, 0, 0, 20, 30, 50, VecMake(300, 300, 0));
    BoxCorners[3] = HangChain(topRight, 15, 800, 0, -20, 30, 50, VecMake(500, 300, 0));
    BoxCorners[1] = HangChain(bottomLeft, 11, 0, 600, 20, -30, 30, VecMake(300, 300, 0));
    BoxCorners[2] = HangChain(bottomRight, 11, 700, 600, -20, -30, 30, VecMake(500, 200, 0));
    // The box's edges are drawn but never enforced: the corners are placed every step.
    for (int32_t k = 0; k < 4; ++k)
        AddConstraint(MenuWorld,
                      MakeConstraint(BoxCorners[k], BoxCorners[(k + 1) % 4], KindLink, 1));
}

namespace {

// The virtual-key codes the menus answer.
constexpr int32_t VkEnter = 13;
constexpr int32_t VkEsc = 27;
constexpr int32_t VkLeft = 37;
constexpr int32_t VkUp = 38;
constexpr int32_t VkRight = 39;
constexpr int32_t VkDown = 40;

// Puts the pinned box corners around the item at the eased height c: 150 x 40 pixels.
void PlaceBox(float c) {
    const TVec3 places[4] = {VecMake(320, c - 10, 0), VecMake(320, c + 30, 0),
                             VecMake(470, c + 30, 0), VecMake(470, c - 10, 0)};
    for (int32_t k = 0; k < 4; ++k)
        if (BoxCorners[k] < MenuWorld.ParticleCount)
            MenuWorld.Positions[static_cast<size_t>(BoxCorners[k])] = places[k];
}

void ShowPage(int32_t page, int32_t selection) {
    MenuPage = page;
    MenuSelection = selection;
}

// Loads map number LevelNumber: play starts, or the load-error page shows.
void LoadChosenMap() {
    if (LoadMap(MapFileName(LevelNumber)))
        GameScreen = 1;
    else
        ShowPage(PageLoadError, NoSelection);
}

void ItemKey(int32_t key) {
    if (key == VkUp) MenuSelection = MenuSelection == 0 ? 2 : MenuSelection - 1;
    if (key == VkDown) MenuSelection = MenuSelection == 2 ? 0 : MenuSelection + 1;
    if (key == VkEnter) MenuAction();
}

void LevelKey(int32_t key) {
    if (key == VkEsc) ShowPage(PageMain, 0);
    // Only the levels the maps folder holds, wrapping at both ends.
    if (key == VkLeft) LevelNumber = StepLevel(LevelNumber, -1, HighestMap("maps"));
    if (key == VkRight) LevelNumber = StepLevel(LevelNumber, 1, HighestMap("maps"));
    if (key == VkEnter) MenuAction();
}

} // namespace

void MenuUpdate() {
    // The paused playfield's circles still collide with its walls while the scene moves.
    StepSystem(MenuWorld, Circles, Walls);
    const float target = 250.0f + 40.0f * static_cast<float>(MenuSelection);
    MenuCursorY += (target - MenuCursorY) / 7;
    PlaceBox(MenuCursorY);
    MenuKey(Input->LastKey());
}

void MenuKey(int32_t key) {
    switch (MenuPage) {
    case PageMain:
    case PagePause:
        ItemKey(key);
        break;
    case PageLevel:
        LevelKey(key);
        break;
    case PageAbout:
        if (key == VkEsc) ShowPage(PageMain, 0);
        break;
    case PageLoadError:
        if (key == VkEsc) ShowPage(PageLevel, NoSelection);
        break;
    default:
        break;
    }
}

void MenuAction() {
    if (MenuPage == PageLevel) return LoadChosenMap();
    if (MenuPage == PageMain) {
        if (MenuSelection == 0) ShowPage(PageLevel, NoSelection);
        if (MenuSelection == 1) ShowPage(PageAbout, NoSelection);
        if (MenuSelection == 2) ExitGame();
    } else if (MenuPage == PagePause) {
        if (MenuSelection == 0) GameScreen = 1;
        if (MenuSelection == 1) LoadChosenMap();
        // The map stays built until the next load.
        if (MenuSelection == 2) ShowPage(PageMain, 0);
    }
}

void ExitGame() {
    ResetLevel();
    ClearSystem(MenuWorld);
    Engine->Quit();
}
