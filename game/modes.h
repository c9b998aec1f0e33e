// The Game's rules: the splash, the three modes with their obstacles, falls, bounces and score, and
// the menu whose buttons start a game or end the program.
#pragma once

#include <cstdint>
#include <vector>

enum TGameState : uint8_t { gsSplash = 0, gsStart = 1, gsJump = 2, gsMove = 3, gsStop = 4 };

struct TObstacle {
    float Distance = 0; // ahead of the creature along the road; falls by 0.6 a tick
    uint8_t Kind = 0;   // 1 water, 2 jump pad; in Move mode 3 and 4 are the same in the lane at 10
    float Offset = 0;   // sideways position and speed, used in Stop mode
    float OffsetSpeed = 0;
};

extern TGameState GameState;
// Empty until the first game starts, then always seven.
extern std::vector<TObstacle> Obstacles;
extern int32_t Score;
// The world is halted: after a fall into water, or while space is held in Stop mode.
extern bool Stopped;

// A fresh game in the mode; every obstacle respawns on the next tick.
void NewGame(TGameState mode);
// One tick of the rules: the splash for 2000 ms after StartTick, then the mode's tick. Enter
// starts the mode afresh instead, and so does a new press of space once the game is over.
void UpdateGame();
// The creature fell into water: the world stands still until a new game.
bool IsGameOver();
