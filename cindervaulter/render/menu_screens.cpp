#include "render/menu_screens.h"

#include "engine.h"
#include "game.h"
#include "language.h"
#include "levels.h"
#include "menus.h"
#include "physics/physics.h"
#include "player.h"
#include "sound.h"

#include <GL/gl.h>

#include <iterator>
#include <string>

namespace {

// The about page's credit and contact lines, and the controls listed under them.
constexpr const char* CreditText = "Made by the Cindervaulter project team";
constexpr const char* ContactText = "Comments and questions: the project's issue tracker";
constexpr const char* ControlTexts[] = {
    "Up: thrust the head",
    "Esc: pause, back",
    "Enter: choose",
    "Left, Right: choose a level",
    "R: restart the level",
    "M: sound on or off",
    "Gamepad: d-pad or left stick, A thrusts and chooses, Start pauses",
};

void Print(const char* english, float x, float y) {
    Render->PrintText(MainFont, Translate(english), x, y);
}

// A translated label followed by a value, as "Best time: 1:05.3".
void PrintLabelled(const char* english, const std::string& value, float x, float y) {
    Render->PrintText(MainFont, (std::string(Translate(english)) + value).c_str(), x, y);
}

// The three items of a page from `first`, 40 pixels apart from y 250, the highlighted one green.
void DrawItems(int32_t first, float x) {
    for (int32_t i = 0; i < 3; ++i) {
        if (i == MenuSelection)
            glColor3f(0, 1, 0);
        else
            glColor3f(1, 1, 1);
        Print(MenuTexts[first + i], x, 250.0f + 40.0f * static_cast<float>(i));
    }
}

void DrawControls() {
    glColor3f(0.7f, 0.85f, 1);
    Print("Controls", 300, 330);
    for (size_t i = 0; i < std::size(ControlTexts); ++i)
        Print(ControlTexts[i], 300, 355.0f + 20.0f * static_cast<float>(i));
    Print(SoundMuted() ? "Sound: off" : "Sound: on", 300, 505);
}

// The level's name, read again only when the number changes.
const std::string& ShownLevelName() {
    static int32_t number = 0;
    static std::string name;
    if (number != LevelNumber) {
        number = LevelNumber;
        name = LevelName("maps", number);
    }
    return name;
}

void DrawLevelChoice() {
    PrintLabelled("Choose a level: ", std::to_string(LevelNumber), 350, 250);
    const std::string& name = ShownLevelName();
    glColor3f(1, 1, 0.6f);
    if (!name.empty()) Render->PrintText(MainFont, Translate(name.c_str()), 350, 275);
    const int32_t best = BestSteps(Records, LevelNumber);
    glColor3f(0.7f, 0.85f, 1);
    if (best > 0)
        PrintLabelled("Best time: ", FormatSteps(best), 350, 295);
    else
        Print("Not finished yet", 350, 295);
    Print("Left, Right: level   Enter: play   Esc: back", 250, 340);
}

void DrawEnding() {
    glColor3f(0, 1, 0);
    Print("Every level finished!", 300, 230);
    glColor3f(1, 1, 1);
    PrintLabelled("Total time: ", FormatSteps(EndingSteps), 300, 260);
    Print("Enter: play on from level 1", 300, 300);
}

void DrawAbout() {
    glColor3f(1, 0, 0);
    // Handle 0 is the engine's default font, a little larger than the menu's.
    Render->PrintText(0, "CINDervaulter", 480, 200);
    glColor3f(1, 1, 1);
    Print(CreditText, 300, 250);
    Print(ContactText, 330, 280);
    DrawControls();
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
        DrawLevelChoice();
        break;
    case PageAbout:
        DrawAbout();
        break;
    case PageLoadError:
        Print("Cannot load the map", 300, 250);
        break;
    case PageEnding:
        DrawEnding();
        break;
    default:
        break;
    }
    glColor3f(1, 1, 1);
}
