#include "render/hints.h"

#include "engine.h"
#include "game.h"
#include "language.h"
#include "menus.h"
#include "player.h"

#include <GL/gl.h>

namespace {

// The keys stay named on the first two levels, and on any level until Up has been held once.
bool HintWanted() {
    return LevelNumber <= 2 || !HasThrust;
}

} // namespace

void DrawPlayHints() {
    // The minimap left its own corner viewport behind.
    glViewport(0, 0, 800, 600);
    Render->Set2D(0, 0, 800, 600);
    if (HintWanted()) {
        glColor3f(1, 1, 0.6f);
        Render->PrintText(MainFont, Translate("Hold Up to thrust the head along the body"), 20,
                          530);
        Render->PrintText(
            MainFont, Translate("Collect every orange spark, then touch the green exit"), 20, 550);
        Render->PrintText(MainFont, Translate("R: restart the level   Esc: pause"), 20, 570);
    }
    if (ClosedExitSteps > 0) {
        glColor3f(1, 0.5f, 0.2f);
        Render->PrintText(MainFont, Translate("The exit opens once every spark is collected"), 250,
                          60);
    } else if (OpenedExitSteps > 0) {
        glColor3f(0, 1, 0);
        Render->PrintText(MainFont, Translate("The exit is open!"), 350, 60);
    }
    glColor3f(1, 1, 1);
}
