// Why the parameters are human-like. The game steps 30 times a second, so a step is 33 ms.
// - Perception 4 and Jitter 4: a key follows what the screen showed 4 to 8 steps before, 200 ms on
//   average, the simple visual reaction time of an attentive adult (about 180 to 250 ms), and the
//   spread of two steps either way is the trial-to-trial scatter of such reactions.
// - ShortestPress 3: a deliberate tap lasts about 100 ms; nobody holds a key for one 33 ms step.
// - AimDegrees 40: a player judges where a stick points to within some tens of degrees while it
//   swings; a tighter window would mean waiting for alignments a person cannot tell apart.
// - Cruise 8 and Slack 1: a player moves at a pace the eye can still follow, about 240 units (a
//   third of the screen) a second, and does not correct a drift too small to notice.
// - Lookahead 5: the way is judged from what lies 30 units around the head, the creature's size,
//   not from a single grid cell.
// - Restless 45: a player whose creature lies still for 1.5 s, pointing nowhere useful, taps Up to
//   see what happens rather than wait on.
// - Patience 300 and RestartCost 45: after 10 s without getting nearer a person restarts; Esc,
//   Down and Enter take about 1.5 s.
#include "human_model.h"

#include "map.h"

#include <cmath>

namespace {

// The field to the pickup left that is nearest the head along the way, or to the exit.
const DistanceField& Goal(const LevelPaths& paths, const Sight& sight, float& distance) {
    const DistanceField* goal = &paths.ToExit;
    distance = PathUnreached;
    for (size_t i = 0; i < sight.Left.size() && i < paths.ToPickup.size(); ++i) {
        const float d = PathDistance(paths.ToPickup[i], sight.Body[0]);
        if (sight.Left[i] && (goal == &paths.ToExit || d < distance)) {
            goal = &paths.ToPickup[i];
            distance = d;
        }
    }
    if (goal == &paths.ToExit) distance = PathDistance(paths.ToExit, sight.Body[0]);
    return *goal;
}

int32_t CountCollected(const Sight& sight) {
    int32_t collected = 0;
    for (uint8_t left : sight.Left) collected += left ? 0 : 1;
    return collected;
}

// Keeps the progress measure: more pickups, or nearer the next one than ever since the last.
void TrackProgress(HumanPlayer& player, const Sight& sight) {
    float distance;
    Goal(*player.Paths, sight, distance);
    const int32_t collected = CountCollected(sight);
    if (collected > player.Collected || distance < player.Nearest - PathCell) {
        player.Collected = collected;
        player.Nearest = distance;
        player.Idle = 0;
        return;
    }
    ++player.Idle;
}

// The key follows the decision after the motor noise, and never changes sooner than a press lasts.
void MoveKey(HumanPlayer& player, bool wanted) {
    if (wanted != player.Wanted) {
        player.Wanted = wanted;
        player.ChangeIn = wanted == player.Held
                              ? -1
                              : int32_t(player.Noise() % uint32_t(player.Parameters.Jitter + 1));
    }
    ++player.Kept;
    if (player.ChangeIn > 0) --player.ChangeIn;
    if (player.ChangeIn == 0 && player.Kept >= player.Parameters.ShortestPress) {
        player.Held = player.Wanted;
        player.ChangeIn = -1;
        player.Kept = 0;
    }
}

} // namespace

Sight LookAtPlay() {
    Sight sight;
    for (size_t i = 0; i < 3; ++i) sight.Body[i] = World.Positions[i];
    sight.Motion = VecSub(World.Positions[0], World.PrevPositions[0]);
    for (const TPickup& pickup : Pickups) sight.Left.push_back(pickup.Active);
    return sight;
}

bool WantsThrust(const HumanParameters& parameters, const LevelPaths& paths, const Sight& sight) {
    float distance;
    const DistanceField& goal = Goal(paths, sight, distance);
    TVec3 way = PathDirection(goal, sight.Body[0], parameters.Lookahead);
    if (way.x == 0 && way.y == 0) return false;
    // The push wanted is the difference between the pace along the way and the motion seen.
    const TVec3 error = VecSub(VecScale(way, parameters.Cruise), sight.Motion);
    const float size = std::hypot(error.x, error.y);
    const TVec3 heading = VecSub(sight.Body[0], sight.Body[1]);
    const float length = std::hypot(heading.x, heading.y);
    if (size < parameters.Slack || length == 0) return false;
    const float cosine = (heading.x * error.x + heading.y * error.y) / (size * length);
    return cosine > std::cos(parameters.AimDegrees * 3.14159265f / 180);
}

void StartHuman(HumanPlayer& player, const HumanParameters& parameters, const LevelPaths& paths,
                uint32_t seed) {
    player = HumanPlayer{};
    player.Parameters = parameters;
    player.Paths = &paths;
    player.Noise.seed(seed);
}

void ForgetSight(HumanPlayer& player) {
    HumanPlayer fresh;
    fresh.Parameters = player.Parameters;
    fresh.Paths = player.Paths;
    fresh.Noise = player.Noise;
    player = std::move(fresh);
}

bool HumanStep(HumanPlayer& player, const Sight& now) {
    player.Seen.push_back(now);
    const size_t delay = size_t(player.Parameters.Perception);
    if (player.Seen.size() <= delay) {
        MoveKey(player, player.Wanted);
        return player.Held;
    }
    while (player.Seen.size() > delay + 1) player.Seen.pop_front();
    const Sight& seen = player.Seen.front();
    TrackProgress(player, seen);
    const bool still = std::hypot(seen.Motion.x, seen.Motion.y) < 0.3f && !player.Held;
    player.Still = still ? player.Still + 1 : 0;
    const bool restless = player.Still >= player.Parameters.Restless;
    if (restless) player.Still = 0;
    MoveKey(player, restless || WantsThrust(player.Parameters, *player.Paths, seen));
    return player.Held;
}

bool HumanGivesUp(const HumanPlayer& player) {
    return player.Idle >= player.Parameters.Patience;
}
