#include "render/menu_screens.h"

#include "engine.h"
#include "game.h"
#include "menus.h"
#include "physics/physics.h"

#include <GL/gl.h>

#include <string>

namespace {

// Windows-1251 bytes of "Выбери уровень: ", "Не могу загрузить карту", "Сделано командой проекта
// Cindervaulter" and "Отзывы и вопросы: трекер задач проекта".
constexpr const char* ChooseLevelText = "\xC2\xFB\xE1\xE5\xF0\xE8 \xF3\xF0\xEE\xE2\xE5\xED\xFC: ";
constexpr const char* LoadErrorText =
    "\xCD\xE5 \xEC\xEE\xE3\xF3 \xE7\xE0\xE3\xF0\xF3\xE7\xE8\xF2\xFC \xEA\xE0\xF0\xF2\xF3";
constexpr const char* CreditText = "\xD1\xE4\xE5\xEB\xE0\xED\xEE \xEA\xEE\xEC\xE0\xED\xE4\xEE\xE9 "
                                   "\xEF\xF0\xEE\xE5\xEA\xF2\xE0 Cindervaulter";
constexpr const char* ContactText = "\xCE\xF2\xE7\xFB\xE2\xFB \xE8 \xE2\xEE\xEF\xF0\xEE\xF1\xFB: "
                                    "\xF2\xF0\xE5\xEA\xE5\xF0 \xE7\xE0\xE4\xE0\xF7 "
                                    "\xEF\xF0\xEE\xE5\xEA\xF2\xE0";

// The three items of a page from `first`, 40 pixels apart from y 250, the highlighted one green.
void DrawItems(int32_t first, float x) {
    for (int32_t i = 0; i < 3; ++i) {
        if (i == MenuSelection)
            glColor3f(0, 1, 0);
        else
            glColor3f(1, 1, 1);
        Render->PrintText(MainFont, MenuTexts[first + i], x,
                          250.0f + 40.0f * static_cast<float>(i));
    }
}

void DrawAbout() {
    glColor3f(1, 0, 0);
    // Handle 0 is the engine's default font, a little larger than the menu's.
    Render->PrintText(0, "CINDervaulter", 480, 200);
    glColor3f(1, 1, 1);
    Render->PrintText(MainFont, CreditText, 300, 250);
    Render->PrintText(MainFont, ContactText, 330, 280);
}

} // namespace

void DrawMenuWorld() {
    glColor3f(1, 1, 1);
    glBegin(GL_LINES);
    for (int32_t j = 0; j < MenuWorld.ConstraintCount; ++j) {
        const TConstraint& c = MenuWorld.Constraints[static_cast<size_t>(j)];
        const TVec3& a = MenuWorld.Positions[static_cast<size_t>(c.A)];
        const TVec3& b = MenuWorld.Positions[static_cast<size_t>(c.B)];
        glVertex2f(a.x, a.y);
        glVertex2f(b.x, b.y);
    }
    glEnd();
}

void DrawMenuScreen() {
    DrawMenuWorld();
    glColor3f(1, 1, 1);
    switch (MenuPage) {
    case PageMain:
        DrawItems(0, 350);
        break;
    case PagePause:
        DrawItems(3, 335);
        break;
    case PageLevel:
        Render->PrintText(MainFont, (ChooseLevelText + std::to_string(LevelNumber)).c_str(), 350,
                          250);
        break;
    case PageAbout:
        DrawAbout();
        break;
    case PageLoadError:
        Render->PrintText(MainFont, LoadErrorText, 300, 250);
        break;
    default:
        break;
    }
    glColor3f(1, 1, 1);
}
