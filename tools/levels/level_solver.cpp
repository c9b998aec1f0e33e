// level_solver FOLDER LEVEL REPLAY [BUDGET [BEAM]]: finds a replay that collects every pickup of
// level LEVEL (maps/mapLEVEL.map under FOLDER) and reaches its exit, by beam search through the
// game's own rules, and writes it to REPLAY. It is how a level author proves a level completable.
//
// The search runs in segments of a few steps with Up held or released throughout. After each
// round the children are scored by the pickups collected and then by the shortest way around the
// walls from the body to the nearest pickup left (or to the exit), near-identical bodies are
// merged, and the best BEAM (300 by default) go on. A segment in which the body passes through one
// of the map's walls is dropped, so a replay keeps to the ways the level is built to offer. BUDGET
// (200000 by default) caps the segments played; when it runs out the solver gives up, writes
// nothing and fails.
#include "game.h"
#include "level_paths.h"
#include "level_play.h"
#include "map.h"
#include "physics/physics.h"
#include "render/particles.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unordered_set>

namespace {

constexpr int32_t SegmentSteps = 5;

// What play changes in a level: the body, its circles, the pickups and the camera.
struct Snapshot {
    TVec3 P[3], Q[3], A[3];
    TCircle Circles[3];
    std::vector<uint8_t> Active;
    int32_t Collected = 0;
    TCamera View;
};

Snapshot Take() {
    Snapshot s;
    for (size_t i = 0; i < 3; ++i) {
        s.P[i] = World.Positions[i];
        s.Q[i] = World.PrevPositions[i];
        s.A[i] = World.Accelerations[i];
        s.Circles[i] = Circles[i];
    }
    for (const TPickup& pickup : Pickups) s.Active.push_back(pickup.Active);
    s.Collected = CollectedCount;
    s.View = Camera;
    return s;
}

void Restore(const Snapshot& s) {
    for (size_t i = 0; i < 3; ++i) {
        World.Positions[i] = s.P[i];
        World.PrevPositions[i] = s.Q[i];
        World.Accelerations[i] = s.A[i];
        Circles[i] = s.Circles[i];
    }
    for (size_t i = 0; i < Pickups.size(); ++i) Pickups[i].Active = s.Active[i] != 0;
    CollectedCount = s.Collected;
    Camera = s.View;
}

struct Node {
    int32_t Parent; // in the history, -1 for the start
    uint8_t Up;
    uint8_t Steps; // fewer than a segment when the exit came first
};

struct Member {
    int32_t History;
    Snapshot State;
    float Score;
};

struct Search {
    LevelPaths Paths;
    std::vector<Node> History;
    int64_t Expanded = 0;
};

// Collected pickups first; then the shortest way from any of the body's particles to the nearest
// pickup left, or to the exit.
float Score(const Search& search) {
    float best = PathUnreached;
    for (int32_t p = 0; p < 3; ++p) {
        const TVec3 at = World.Positions[size_t(p)];
        if (CollectedCount == int32_t(Pickups.size()))
            best = std::min(best, PathDistance(search.Paths.ToExit, at));
        for (size_t i = 0; i < Pickups.size(); ++i)
            if (Pickups[i].Active)
                best = std::min(best, PathDistance(search.Paths.ToPickup[i], at));
    }
    return float(CollectedCount) * 1e8f - best;
}

// Near-identical bodies: the same cells for head and tail and nearly the same head velocity.
uint64_t Key(const Snapshot& s) {
    auto q = [](float v, float unit) { return uint64_t(int64_t(std::floor(v / unit)) & 0x3FF); };
    const TVec3 v = VecSub(s.P[0], s.Q[0]);
    return q(s.P[0].x, 5) | q(s.P[0].y, 5) << 10 | q(s.P[2].x, 8) << 20 | q(s.P[2].y, 8) << 30 |
           q(v.x, 1.5f) << 40 | q(v.y, 1.5f) << 50 | uint64_t(s.Collected) << 60;
}

Replay Trace(const Search& search, int32_t node) {
    Replay replay;
    for (; node >= 0; node = search.History[size_t(node)].Parent) {
        const Node& n = search.History[size_t(node)];
        replay.insert(replay.begin(), n.Steps, n.Up);
    }
    return replay;
}

// Whether segment p1-p2 crosses segment q1-q2: each one's ends lie on both sides of the other.
bool Crosses(TVec3 p1, TVec3 p2, TVec3 q1, TVec3 q2) {
    return PointSide(p1, p2, q1) * PointSide(p1, p2, q2) < 0 &&
           PointSide(q1, q2, p1) * PointSide(q1, q2, p2) < 0;
}

// Whether a body particle passed through one of the map's walls in the step just played. A wall
// pushes back only a few units a pass, so a body thrusting hard can force its way through a thin
// one; the solver keeps to the ways a level is built to offer.
bool PassedAWall(const TVec3 (&before)[3]) {
    for (size_t w = 0; w + 4 < Walls.size(); ++w)
        for (size_t p = 0; p < 3; ++p)
            if (Crosses(before[p], World.Positions[p], Walls[w].A, Walls[w].B)) return true;
    return false;
}

// Plays one segment from the member; the history index of the child, which has reached the exit
// when `exit` comes back true, or -1 when the body passed through a wall.
int32_t Expand(Search& search, const Member& member, uint8_t up, bool& exit) {
    Restore(member.State);
    ClearSparks();
    ++search.Expanded;
    exit = false;
    uint8_t steps = 0;
    while (steps < SegmentSteps && !exit) {
        const TVec3 before[3] = {World.Positions[0], World.Positions[1], World.Positions[2]};
        exit = PlayStep(up != 0).ExitReached;
        if (!exit && PassedAWall(before)) return -1;
        ++steps;
    }
    search.History.push_back({member.History, up, steps});
    return int32_t(search.History.size()) - 1;
}

bool Solve(Search& search, int64_t budget, size_t beam, Replay& replay, int32_t& bestCollected) {
    std::vector<Member> members{{-1, Take(), Score(search)}};
    bestCollected = 0;
    while (!members.empty()) {
        std::vector<Member> children;
        for (const Member& member : members)
            for (uint8_t up : {uint8_t(1), uint8_t(0)}) {
                if (search.Expanded >= budget) return false;
                bool exit;
                const int32_t child = Expand(search, member, up, exit);
                if (child < 0) continue;
                if (exit) {
                    replay = Trace(search, child);
                    return true;
                }
                children.push_back({child, Take(), Score(search)});
                bestCollected = std::max(bestCollected, CollectedCount);
            }
        std::stable_sort(children.begin(), children.end(),
                         [](const Member& a, const Member& b) { return a.Score > b.Score; });
        std::unordered_set<uint64_t> seen;
        members.clear();
        for (Member& child : children)
            if (members.size() < beam && seen.insert(Key(child.State)).second)
                members.push_back(std::move(child));
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 6) {
        std::fprintf(stderr, "usage: level_solver FOLDER LEVEL REPLAY [BUDGET [BEAM]]\n");
        return 2;
    }
    const int32_t level = std::atoi(argv[2]);
    const int64_t budget = argc > 4 ? std::atoll(argv[4]) : 200000;
    const long beam = argc > 5 ? std::atol(argv[5]) : 300;
    const std::string name = MapFileName(level);
    const std::filesystem::path replayPath = std::filesystem::absolute(argv[3]);
    std::error_code ignored;
    std::filesystem::current_path(argv[1], ignored);
    StartHeadlessPlay();
    if (level < 1 || budget < 1 || beam < 1 || !StartLevel(level) || MapScale <= 0) {
        std::fprintf(stderr, "%s/maps/%s: cannot be loaded, or a budget or beam below 1\n", argv[1],
                     name.c_str());
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    Search search;
    search.Paths = MakeLevelPaths();
    Replay replay;
    int32_t collected = 0;
    const bool solved = Solve(search, budget, size_t(beam), replay, collected);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!solved) {
        std::printf("%s: gave up after %lld states expanded in %.2f s: no way to the exit found "
                    "(at best %d/%zu pickups)\n",
                    name.c_str(), (long long)search.Expanded, seconds, collected, Pickups.size());
        return 1;
    }
    // The fingerprint of the replay as the runner plays it, from a fresh load on a fresh clock and
    // random sequence, which the sparks it covers depend on.
    StartHeadlessPlay();
    StartLevel(level);
    uint32_t fingerprint = FingerprintStart;
    for (uint8_t up : replay)
        if (!PlayStep(up != 0).ExitReached) fingerprint = FoldFingerprint(fingerprint);
    char header[200];
    std::snprintf(header, sizeof header,
                  "# %s: %zu steps, Up pressed %d times; found by level_solver (beam %ld) after "
                  "%lld states expanded in %.2f s.\n",
                  name.c_str(), replay.size(), CountPresses(replay), beam,
                  (long long)search.Expanded, seconds);
    std::ofstream out(replayPath);
    out << FormatReplay(replay, header, fingerprint);
    std::printf("%s", header + 2);
    return out ? 0 : 1;
}
