// A model of a person playing a level: it sees the screen only after a reaction delay, decides
// Up or not from that old sight alone, presses and releases with a seeded timing noise, and gives
// up and restarts the level when it stops getting anywhere. Its finish rate over many seeds is a
// level's difficulty.
#pragma once

#include "level_paths.h"
#include "physics/physics.h"

#include <cstdint>
#include <deque>
#include <random>
#include <vector>

// What the screen shows in one step: the body, how the head moved, the pickups left.
struct Sight {
    TVec3 Body[3];             // head, middle, tail
    TVec3 Motion;              // the head's movement over the latest step
    std::vector<uint8_t> Left; // per pickup: still to collect
};
// The sight of the level being played, as the game's state holds it now.
Sight LookAtPlay();

// Each figure is what a person brings to the game, not what a level needs; see human_model.cpp.
struct HumanParameters {
    int32_t Perception = 4;    // steps from what the screen shows to a decision on it
    int32_t Jitter = 4;        // a key follows a decision 0 to Jitter steps later still
    int32_t ShortestPress = 3; // steps a key stays down or up at the least
    float AimDegrees = 40;     // thrust while the body points this near the wanted push
    float Cruise = 8;          // units a step the player wants to travel along the way
    float Slack = 1;           // a speed error smaller than this is left alone
    int32_t Lookahead = 5;     // cells around the head over which the way is judged
    int32_t Restless = 45;     // steps lying still before a tap just to see what happens
    int32_t Patience = 300;    // steps without getting nearer before a restart
    int32_t RestartCost = 45;  // steps that Esc, Down and Enter take to restart
};

struct HumanPlayer {
    HumanParameters Parameters;
    const LevelPaths* Paths = nullptr;
    std::mt19937 Noise;
    std::deque<Sight> Seen; // newest last; only the one Perception steps old is ever read
    bool Held = false;      // the key as it is now
    bool Wanted = false;    // the latest decision
    int32_t ChangeIn = -1;  // steps until the key follows the decision, -1 when it already does
    int32_t Kept = 0;       // steps the key has been as it is
    int32_t Collected = -1; // progress as last seen: pickups, then the nearest way left
    float Nearest = PathUnreached;
    int32_t Idle = 0;  // steps since the progress last grew
    int32_t Still = 0; // steps the body has been seen lying still with Up released
};

// A player that has seen nothing yet, its noise seeded.
void StartHuman(HumanPlayer& player, const HumanParameters& parameters, const LevelPaths& paths,
                uint32_t seed);
// Forgets what was seen, as on a restart, keeping the noise where it is.
void ForgetSight(HumanPlayer& player);
// Takes in this step's sight and returns whether Up is held in this step.
bool HumanStep(HumanPlayer& player, const Sight& now);
// Whether the player has got nowhere for its patience and restarts.
bool HumanGivesUp(const HumanPlayer& player);
// The decision on one sight: whether the player wants Up held.
bool WantsThrust(const HumanParameters& parameters, const LevelPaths& paths, const Sight& sight);
