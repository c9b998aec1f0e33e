// The rules of the Game: the splash, the three modes' ticks over the seven obstacles, and the menu.
#include "modes.h"

#include "creature.h"
#include "engine/engine.h"
#include "records.h"
#include "startup.h"

#include <cmath>

TGameState GameState = gsSplash;
std::vector<TObstacle> Obstacles;
int32_t Score = 0;
bool Stopped = false;

namespace {

constexpr size_t ObstacleCount = 7;
constexpr uint32_t SplashMs = 2000;

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

// Space held, or pressed and let go since the last tick: a tap shorter than a tick still counts.
bool SpaceDown() {
    bool tapped = TakePress(VK_SPACE);
    return Keys[VK_SPACE] || tapped;
}

// Space jumps; held, it jumps again right after each landing.
void JumpTick(uint32_t now) {
    UpdateCreature(now);
    bool space = SpaceDown();
    if (space && JumpSpeed == 0) JumpSpeed = 0.25f;
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
    bool space = SpaceDown();
    if (space && LaneSpeed == 0) LaneSpeed = LanePos == 10 ? -0.25f : 0.25f;
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
    bool space = SpaceDown();
    if (JumpHeight >= 0) Stopped = space;
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

void ModeTick(uint32_t now) {
    if (GameState == gsJump) JumpTick(now);
    if (GameState == gsMove) MoveTick(now);
    if (GameState == gsStop) StopTick(now);
}

// Enter (a pad's start) starts the mode again at any time; after a fall, so does space pressed
// anew: a space held through the fall made no new press.
bool RestartAsked() {
    bool enter = TakePress(VK_RETURN);
    return enter || (Sinking && TakePress(VK_SPACE));
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

bool IsGameOver() {
    return Sinking;
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
    case gsMove:
    case gsStop:
        if (RestartAsked()) return NewGame(GameState);
        ModeTick(now);
        break;
    }
}
