// The rules of the Game: the splash, the three modes' ticks over the seven obstacles, and the menu.
#include "modes.h"

#include "creature.h"
#include "engine/engine.h"
#include "engine/fonts.h"
#include "records.h"
#include "startup.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

TGameState GameState = gsSplash;
std::vector<TObstacle> Obstacles;
int32_t Score = 0;
bool Stopped = false;

namespace {

constexpr size_t ObstacleCount = 7;
constexpr uint32_t SplashMs = 2000;

struct TMenuButton {
    const char* Label;
    int32_t Left, Top, Right, Bottom; // the label's baseline starts at (Left, Bottom)
    bool Exits;                       // ends the program instead of starting a game
    TGameState Mode;                  // the game a click starts
};

constexpr TMenuButton Buttons[] = {
    {"New Jump", 24, 36, 162, 48, false, gsJump},
    {"New Move", 24, 60, 162, 72, false, gsMove},
    {"New Stop", 24, 84, 162, 96, false, gsStop},
    {"Exit", 24, 108, 68, 120, true, gsSplash},
};

// The nearest integer, a half going to the even one (the default rounding mode).
double Near(double v) {
    return std::nearbyint(v);
}

// Beside the creature: the obstacle's ten units, rounded, hold the creature's position 0. That is
// Distance from -5.5 up to but not including 4.5.
bool Alongside(const TObstacle& obstacle) {
    return Near(-5.0 - obstacle.Distance) <= 0 && 0 < Near(5.0 - obstacle.Distance);
}

// In Move mode kinds 3 and 4 lie in the lane at 10, kinds 1 and 2 in the lane at -10.
int LaneOf(const TObstacle& obstacle) {
    return obstacle.Kind > 2 ? 1 : 0;
}

// The game is over, and its score may be a new best.
void Fall() {
    KeepScore();
    JumpSpeed = -0.5f;
    Stopped = true;
    Sinking = true;
}

void Bounce() {
    JumpSpeed = 0.25f;
    Score += 50;
    Stopped = false;
}

// A point for each tick spent passing an obstacle while the world moves.
void Pass() {
    if (!Stopped) Score += 1;
}

// The creature meets the obstacle: in the air it passes over; on the ground water swallows it and
// a pad throws it up. True for a bounce.
bool Touch(const TObstacle& obstacle) {
    if (JumpSpeed != 0) {
        Pass();
        return false;
    }
    if (obstacle.Kind == 1 || obstacle.Kind == 3) Fall();
    bool pad = obstacle.Kind == 2 || obstacle.Kind == 4;
    if (pad) Bounce();
    return pad;
}

// Moves the obstacle on while the world moves; one that went 100 behind comes back 100 to 149
// ahead. True when it came back, and its new kind is then the mode's to choose.
bool Advance(TObstacle& obstacle) {
    if (Stopped) return false;
    obstacle.Distance = static_cast<float>(obstacle.Distance - 0.6);
    if (obstacle.Distance >= -100) return false;
    obstacle.Distance = static_cast<float>(100 + Random(50));
    return true;
}

// Sends obstacle i behind the creature, to come back on its next advance, when another lies within
// 25 of it (with `byLane`, only another in the same lane).
void Space(size_t i, bool byLane) {
    for (size_t j = 0; j < Obstacles.size(); ++j) {
        if (j == i || Stopped) continue;
        if (byLane && LaneOf(Obstacles[i]) != LaneOf(Obstacles[j])) continue;
        if (std::fabs(Obstacles[i].Distance - Obstacles[j].Distance) < 25)
            Obstacles[i].Distance = -100;
    }
}

// Crosses the road in 80 ticks and turns back at either edge.
void Sweep(TObstacle& obstacle) {
    obstacle.Offset += obstacle.OffsetSpeed;
    if (obstacle.Offset < -10) {
        obstacle.Offset = -10;
        obstacle.OffsetSpeed = -obstacle.OffsetSpeed;
    }
    if (obstacle.Offset > 10) {
        obstacle.Offset = 10;
        obstacle.OffsetSpeed = -obstacle.OffsetSpeed;
    }
}

// The sweeping obstacle's ten units, rounded, hold the middle of the road: Offset above -4.5 and
// at most 5.5.
bool CoversMiddle(const TObstacle& obstacle) {
    return Near(obstacle.Offset - 5.0) <= 0 && 0 < Near(obstacle.Offset + 5.0);
}

// Space jumps; held, it jumps again right after each landing.
void JumpTick(uint32_t now) {
    UpdateCreature(now);
    if (Keys[VK_SPACE] && JumpSpeed == 0) JumpSpeed = 0.25f;
    for (size_t i = 0; i < Obstacles.size(); ++i) {
        TObstacle& obstacle = Obstacles[i];
        if (Advance(obstacle)) obstacle.Kind = static_cast<uint8_t>(1 + Random(2));
        if (Alongside(obstacle)) Touch(obstacle);
        Space(i, false);
    }
}

// Space changes lane; an obstacle in the other lane scores while it passes.
void MoveTick(uint32_t now) {
    UpdateCreature(now);
    UpdateLane();
    if (Keys[VK_SPACE] && LaneSpeed == 0) LaneSpeed = LanePos == 10 ? -0.25f : 0.25f;
    double lane = Near(LanePos);
    double distanceFromMiddle = Near(std::fabs(LanePos));
    bool inALane = distanceFromMiddle >= 5 && distanceFromMiddle < 15;
    for (size_t i = 0; i < Obstacles.size(); ++i) {
        TObstacle& obstacle = Obstacles[i];
        if (Advance(obstacle)) obstacle.Kind = static_cast<uint8_t>(1 + Random(4));
        int k = LaneOf(obstacle);
        bool inItsLane = lane >= 20 * k - 15 && lane < 20 * k - 5;
        if (inALane && !inItsLane && Alongside(obstacle)) Pass();
        // A bounce takes the press, so that it does not also change lane.
        if (inItsLane && Alongside(obstacle) && Touch(obstacle)) Keys[VK_SPACE] = false;
        Space(i, true);
    }
}

// Space halts the approach; the obstacles sweep across the road all the same.
void StopTick(uint32_t now) {
    UpdateCreature(now);
    UpdateLane();
    // A creature below the road has fallen in, and the world stays halted.
    if (JumpHeight >= 0) Stopped = Keys[VK_SPACE];
    for (size_t i = 0; i < Obstacles.size(); ++i) {
        TObstacle& obstacle = Obstacles[i];
        if (Advance(obstacle)) {
            obstacle.Kind = static_cast<uint8_t>(1 + Random(2));
            obstacle.Offset = 0;
            obstacle.OffsetSpeed = -0.25f;
        }
        Sweep(obstacle);
        if (CoversMiddle(obstacle) && Alongside(obstacle)) Touch(obstacle);
        Space(i, false);
    }
}

// The score and, once there is one, the best of the mode, which the running game may be beating.
std::string ScoreLine() {
    std::string line = "Score: " + IntToText(Score);
    int32_t* best = BestOf(BestScores, GameState);
    if (best && std::max(*best, Score) > 0) line += "   Best: " + IntToText(std::max(*best, Score));
    return line;
}

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

} // namespace

void NewGame(TGameState mode) {
    // A game cut short by a new one keeps its score too.
    KeepScore();
    GameState = mode;
    Stopped = false;
    JumpHeight = 0;
    JumpSpeed = 0;
    // Every obstacle lies past the point of return, so all come back on the first tick.
    Obstacles.resize(ObstacleCount);
    for (TObstacle& obstacle : Obstacles) {
        obstacle.Distance = -150;
        obstacle.Offset = 0;
        obstacle.OffsetSpeed = 0;
    }
    Score = 0;
    SwayAngle = 0;
    SwaySpeed = 0;
    LanePos = mode == gsMove || mode == gsStop ? static_cast<float>(20 * Random(2) - 10) : 0;
    LaneSpeed = 0;
    Sinking = false;
}

void UpdateGame() {
    uint32_t now = GetTickCount();
    // Unsigned, so the splash lasts its 2000 ms across the counter's wrap too.
    if (now - StartTick < SplashMs) {
        GameState = gsSplash;
        return;
    }
    switch (GameState) {
    case gsSplash:
        GameState = gsStart;
        break;
    case gsStart:
        NewGame(gsJump);
        break;
    case gsJump:
        JumpTick(now);
        break;
    case gsMove:
        MoveTick(now);
        break;
    case gsStop:
        StopTick(now);
        break;
    }
}

void DrawHudAndMenu() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    int32_t font = FindResourceIndex("font", Resources);
    if (font < 0) return;
    uint32_t base = Resources[font].Handle;

    glColor3f(1, 1, 1);
    RenderText(ScoreLine(), base, 24, 144);
    RenderText("Press space to jump", base, 24, 168);
    RenderText("Press arrows to move the camera", base, 24, 192);

    // The window's pixels brought into the 800 by 600 space.
    double scaleX = static_cast<double>(ScreenSettings.Width) / ScreenSettings.VirtualWidth;
    double scaleY = static_cast<double>(ScreenSettings.Height) / ScreenSettings.VirtualHeight;
    double x = Near(MousePos.X / scaleX), y = Near(MousePos.Y / scaleY);
    for (const TMenuButton& button : Buttons) {
        if (Inside(button, x, y)) {
            glColor3f(0.25f, 1, 0.25f);
            if (Keys[VK_LBUTTON]) Press(button);
        } else {
            glColor3f(0.25f, 0.25f, 1);
        }
        RenderText(button.Label, base, static_cast<float>(button.Left),
                   static_cast<float>(button.Bottom));
    }
}
