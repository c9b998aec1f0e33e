#include "level_paths.h"

#include "map.h"

#include <algorithm>
#include <cmath>
#include <queue>

namespace {

constexpr float Clearance = 8; // a cell this near a map wall is closed

float SegmentDistance(TVec3 a, TVec3 b, float x, float y) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length2 = dx * dx + dy * dy;
    const float t =
        length2 > 0 ? std::clamp(((x - a.x) * dx + (y - a.y) * dy) / length2, 0.0f, 1.0f) : 0;
    return std::hypot(a.x + t * dx - x, a.y + t * dy - y);
}

int32_t CellOf(float v, int32_t side) {
    if (!(v == v)) return 0;
    return int32_t(std::clamp(std::floor(v / PathCell), 0.0f, float(side - 1)));
}

// Closes the cells near each map wall, visiting only the cells around the wall's own box.
std::vector<uint8_t> ClosedCells(int32_t side, size_t mapWalls) {
    std::vector<uint8_t> closed(size_t(side) * size_t(side), 0);
    for (size_t w = 0; w < mapWalls; ++w) {
        const TVec3 a = Walls[w].A, b = Walls[w].B;
        const int32_t col0 = CellOf(std::min(a.x, b.x) - Clearance, side);
        const int32_t col1 = CellOf(std::max(a.x, b.x) + Clearance, side);
        const int32_t row0 = CellOf(std::min(a.y, b.y) - Clearance, side);
        const int32_t row1 = CellOf(std::max(a.y, b.y) + Clearance, side);
        for (int32_t row = row0; row <= row1; ++row)
            for (int32_t col = col0; col <= col1; ++col)
                if (SegmentDistance(a, b, (float(col) + 0.5f) * PathCell,
                                    (float(row) + 0.5f) * PathCell) < Clearance)
                    closed[size_t(row * side + col)] = 1;
    }
    return closed;
}

// Dijkstra over eight neighbours from the target's cell.
DistanceField MakeField(TVec3 target, int32_t side, const std::vector<uint8_t>& closed) {
    DistanceField field{side, std::vector<float>(closed.size(), PathUnreached)};
    using Entry = std::pair<float, int32_t>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
    const int32_t first = CellOf(target.y, side) * side + CellOf(target.x, side);
    field.Distance[size_t(first)] = 0;
    open.push({0, first});
    while (!open.empty()) {
        const auto [d, cell] = open.top();
        open.pop();
        if (d > field.Distance[size_t(cell)]) continue;
        for (int32_t dy = -1; dy <= 1; ++dy)
            for (int32_t dx = -1; dx <= 1; ++dx) {
                const int32_t row = cell / side + dy, col = cell % side + dx;
                if (row < 0 || col < 0 || row >= side || col >= side) continue;
                const size_t next = size_t(row * side + col);
                const float nd = d + (dx != 0 && dy != 0 ? 1.4142f : 1.0f) * PathCell;
                if (closed[next] || nd >= field.Distance[next]) continue;
                field.Distance[next] = nd;
                open.push({nd, int32_t(next)});
            }
    }
    return field;
}

} // namespace

LevelPaths MakeLevelPaths() {
    LevelPaths paths;
    const float arena = float(int64_t(MapScale) * 450) / 10;
    const int32_t side = std::clamp(int32_t(std::ceil(arena / PathCell)), 1, 1000);
    const std::vector<uint8_t> closed = ClosedCells(side, Walls.size() >= 4 ? Walls.size() - 4 : 0);
    for (const TPickup& pickup : Pickups)
        paths.ToPickup.push_back(MakeField(pickup.Position, side, closed));
    paths.ToExit = MakeField(ExitPoint, side, closed);
    return paths;
}

float PathDistance(const DistanceField& field, TVec3 p) {
    if (field.Side == 0) return PathUnreached;
    return field.Distance[size_t(CellOf(p.y, field.Side) * field.Side + CellOf(p.x, field.Side))];
}

TVec3 PathDirection(const DistanceField& field, TVec3 p, int32_t reach) {
    const float here = PathDistance(field, p);
    TVec3 best{0, 0, 0};
    float bestFall = 0;
    for (int32_t dy = -reach; dy <= reach; ++dy)
        for (int32_t dx = -reach; dx <= reach; ++dx) {
            const TVec3 offset{float(dx) * PathCell, float(dy) * PathCell, 0};
            const float length = std::hypot(offset.x, offset.y);
            const float there = PathDistance(field, VecAdd(p, offset));
            if (length == 0 || there >= PathUnreached) continue;
            const float fall = (here - there) / length;
            if (fall > bestFall) {
                bestFall = fall;
                best = VecScale(offset, 1 / length);
            }
        }
    return best;
}
