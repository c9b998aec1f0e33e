// The overlay drawn over each playing frame and the menu's clicks and keys.
#include "menu.h"

#include "engine/engine.h"
#include "engine/fonts.h"
#include "records.h"
#include "startup.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

struct TMenuButton {
    const char* Label;
    int32_t Left, Top, Right, Bottom; // the label's baseline starts at (Left, Bottom)
    bool Exits;                       // ends the program instead of starting a game
    TGameState Mode;                  // the game a click starts
    uint8_t Key;                      // the key that does the same
    const char* KeyName;
};

constexpr TMenuButton Buttons[] = {
    {"New Jump", 24, 36, 162, 48, false, gsJump, VK_J, "J"},
    {"New Move", 24, 60, 162, 72, false, gsMove, VK_M, "M"},
    {"New Stop", 24, 84, 162, 96, false, gsStop, VK_S, "S"},
    {"Exit", 24, 108, 68, 120, true, gsSplash, VK_ESCAPE, "Esc"},
};

// The keys' names stand in a column right of the widest button; the glyphs keep their pixel
// size in any window, so in a small one the labels take more of the space and the column moves.
constexpr float KeyColumnLeast = 172;
float KeyColumn = KeyColumnLeast;
// A first Esc asks; a second within this time exits.
constexpr uint32_t ExitConfirmMs = 3000;

// When Esc asked to exit; 0 when it has not, or the question lapsed.
uint32_t ExitAskedAt = 0;

bool Inside(const TMenuButton& button, double x, double y) {
    return button.Left <= x && x < button.Right && button.Top <= y && y < button.Bottom;
}

void Press(const TMenuButton& button) {
    if (button.Exits) {
        EngineRunning = false;
        return;
    }
    NewGame(button.Mode);
    // One press starts one game, however long the button is held.
    Keys[VK_LBUTTON] = false;
}

bool ExitAsked() {
    if (ExitAskedAt != 0 && GetTickCount() - ExitAskedAt >= ExitConfirmMs) ExitAskedAt = 0;
    return ExitAskedAt != 0;
}

// Esc is easy to hit by mistake, so it exits only when pressed again within three seconds.
void PressEscape() {
    if (ExitAsked()) {
        EngineRunning = false;
        ExitAskedAt = 0;
        return;
    }
    ExitAskedAt = std::max<uint32_t>(GetTickCount(), 1);
}

void ActOnKeys() {
    for (const TMenuButton& button : Buttons) {
        if (!TakePress(button.Key)) continue;
        if (button.Exits)
            PressEscape();
        else
            NewGame(button.Mode);
    }
}

// The score and, once there is one, the best of the mode, which the running game may be beating.
std::string ScoreLine() {
    std::string line = "Score: " + IntToText(Score);
    int32_t* best = BestOf(BestScores, GameState);
    int32_t shown = best ? std::max(*best, Score) : 0;
    if (shown > 0) line += "   Best: " + IntToText(shown);
    return line;
}

// The text's width in units of the 2D space: drawn with colour writes off, it moves the raster
// position on by its width in window pixels.
float TextWidth(const std::string& text, uint32_t base) {
    GLfloat start[4], end[4];
    GLint viewport[4];
    glRasterPos2f(0, 0);
    glGetFloatv(GL_CURRENT_RASTER_POSITION, start);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    RenderText(text, base, 0, 0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glGetFloatv(GL_CURRENT_RASTER_POSITION, end);
    glGetIntegerv(GL_VIEWPORT, viewport);
    return viewport[2] > 0 ? (end[0] - start[0]) * ScreenSettings.VirtualWidth / viewport[2] : 0;
}

// A dark, translucent backing: the scene still shows through, but neither the yellow creature
// nor the blue water behind it takes the contrast from the text on it.
void DrawPanel(float left, float top, float right, float bottom) {
    GLboolean blending = glIsEnabled(GL_BLEND);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0, 0, 0, 0.6f);
    glBegin(GL_QUADS);
    glVertex2f(left, top);
    glVertex2f(right, top);
    glVertex2f(right, bottom);
    glVertex2f(left, bottom);
    glEnd();
    if (!blending) glDisable(GL_BLEND);
}

// The text in its colour over a black copy one unit down and right, which keeps every glyph's
// edge dark whatever lies under it.
void DrawShadowed(const std::string& text, uint32_t base, float x, float y, const float (&rgb)[3]) {
    glColor3f(0, 0, 0);
    RenderText(text, base, x + 1, y + 1);
    glColor3fv(rgb);
    RenderText(text, base, x, y);
}

constexpr float White[3] = {1, 1, 1}, Grey[3] = {0.75f, 0.75f, 0.75f};
constexpr float Amber[3] = {1, 0.85f, 0.25f};
constexpr float Hovered[3] = {0.25f, 1, 0.25f}, Idle[3] = {0.25f, 0.25f, 1};

// Over the road ahead, between the menu and the creature, while the score stays in its place.
void DrawGameOver(uint32_t base) {
    const std::string lines[] = {"Game over", "Press Enter or space to play again"};
    float widest = std::max(TextWidth(lines[0], base), TextWidth(lines[1], base));
    float middle = ScreenSettings.VirtualWidth / 2.0f;
    DrawPanel(middle - widest / 2 - 12, 210, middle + widest / 2 + 12, 262);
    for (int i = 0; i < 2; ++i) {
        float x = middle - TextWidth(lines[i], base) / 2;
        DrawShadowed(lines[i], base, x, 228.0f + 24 * i, White);
    }
}

std::string KeyName(const TMenuButton& button) {
    return button.Exits && ExitAsked() ? "Esc again to exit" : button.KeyName;
}

// One panel behind the buttons, their keys, the score and the hints, as wide as the widest line.
void DrawMenuPanel(uint32_t base) {
    float right = KeyColumn + TextWidth(KeyName(Buttons[3]), base);
    for (const std::string& line : {ScoreLine(), std::string(ModeHint(GameState)),
                                    std::string("Press arrows to move the camera")})
        right = std::max(right, 24 + TextWidth(line, base));
    DrawPanel(14, 28, right + 10, 199);
}

void DrawHints(uint32_t base) {
    DrawShadowed(ScoreLine(), base, 24, 144, White);
    DrawShadowed(ModeHint(GameState), base, 24, 168, White);
    DrawShadowed("Press arrows to move the camera", base, 24, 192, White);
}

void DrawKeyName(const TMenuButton& button, uint32_t base) {
    bool asking = button.Exits && ExitAsked();
    DrawShadowed(KeyName(button), base, KeyColumn, static_cast<float>(button.Bottom),
                 asking ? Amber : Grey);
}

// The pointer brought into the 800 by 600 space through the picture's letterbox, to the nearest
// unit (a half going to the even one, the default rounding mode).
void MouseInSpace(double& x, double& y) {
    WindowToSpace(MousePos, x, y);
    x = std::nearbyint(x);
    y = std::nearbyint(y);
}

// A click acts on the button under the pointer, whether the button is still down or went down
// and up again since the last frame.
void DrawButtons(uint32_t base) {
    double x = 0, y = 0;
    MouseInSpace(x, y);
    bool clicked = TakePress(VK_LBUTTON);
    for (const TMenuButton& button : Buttons) {
        bool hovered = Inside(button, x, y);
        if (hovered && (Keys[VK_LBUTTON] || clicked)) Press(button);
        DrawShadowed(button.Label, base, static_cast<float>(button.Left),
                     static_cast<float>(button.Bottom), hovered ? Hovered : Idle);
        DrawKeyName(button, base);
    }
}

void PlaceKeyColumn(uint32_t base) {
    KeyColumn = KeyColumnLeast;
    for (const TMenuButton& button : Buttons)
        KeyColumn = std::max(KeyColumn, button.Left + TextWidth(button.Label, base) + 12);
}

} // namespace

const char* ModeHint(TGameState mode) {
    switch (mode) {
    case gsMove:
        return "Press space to change lane";
    case gsStop:
        return "Hold space to halt";
    default:
        return "Press space to jump";
    }
}

void DrawHudAndMenu() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    int32_t font = FindResourceIndex("font", Resources);
    if (font < 0) return;
    uint32_t base = Resources[font].Handle;
    PlaceKeyColumn(base);
    DrawMenuPanel(base);
    DrawHints(base);
    if (IsGameOver()) DrawGameOver(base);
    DrawButtons(base);
    ActOnKeys();
}
