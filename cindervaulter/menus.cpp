#include "menus.h"

#include "game.h"
#include "physics/physics.h"

int32_t MenuPage = PageMain;
int32_t MenuSelection = 0;
int32_t LevelNumber = 1;
float MenuCursorY = 0;
int32_t BoxCorners[4] = {};

// Windows-1251 bytes: "Новая игра", "О программе", "Выход", "Продолжить игру", "Рестарт уровня",
// "В главное меню".
const char* const MenuTexts[6] = {
    "\xCD\xEE\xE2\xE0\xFF \xE8\xE3\xF0\xE0",
    "\xCE \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5",
    "\xC2\xFB\xF5\xEE\xE4",
    "\xCF\xF0\xEE\xE4\xEE\xEB\xE6\xE8\xF2\xFC \xE8\xE3\xF0\xF3",
    "\xD0\xE5\xF1\xF2\xE0\xF0\xF2 \xF3\xF0\xEE\xE2\xED\xFF",
    "\xC2 \xE3\xEB\xE0\xE2\xED\xEE\xE5 \xEC\xE5\xED\xFE",
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
