// level_preview MAP PNG [SIZE]: draws a compiled Cindervaulter map as the game loads it, to a
// SIZE x SIZE picture (600 by default): walls in white with short ticks on their solid side (a
// wall pushes only towards the other side), pickups as orange rings, the exit as a cyan ring, and
// the player's body at the start as green circles.
#include "file_bytes.h"
#include "icons.h"
#include "map.h"
#include "painting.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr float Margin = 20;

struct View {
    float Scale; // pixels per world unit
};

// A world point in pixels, kept within a range where painting stays well-defined for walls that
// lie far outside the arena.
float ToPixels(const View& view, float v) {
    return std::clamp(Margin + v * view.Scale, -1e5f, 1e5f);
}

void DrawRing(RgbaImage& image, const View& view, TVec3 centre, float radius, Rgb colour) {
    const float x = ToPixels(view, centre.x);
    const float y = ToPixels(view, centre.y);
    const float r = std::max(radius * view.Scale, 3.0f);
    FillEllipse(image, x, y, r, r, colour, 0.35f);
    for (int i = 0; i < 48; ++i) {
        const float a0 = float(i) / 48 * 6.2831853f;
        const float a1 = float(i + 1) / 48 * 6.2831853f;
        DrawLine(image, x + r * std::cos(a0), y + r * std::sin(a0), x + r * std::cos(a1),
                 y + r * std::sin(a1), 1.5f, colour);
    }
}

// The wall, then ticks every 10 pixels on the side its normal turns away from.
void DrawWall(RgbaImage& image, const View& view, const TWall& wall) {
    const float x0 = ToPixels(view, wall.A.x), y0 = ToPixels(view, wall.A.y);
    const float x1 = ToPixels(view, wall.B.x), y1 = ToPixels(view, wall.B.y);
    const float length = std::hypot(x1 - x0, y1 - y0);
    const int ticks = int(std::min(length / 10, 10000.0f));
    for (int i = 0; i <= ticks; ++i) {
        const float t = ticks == 0 ? 0.5f : float(i) / float(ticks);
        const float x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t;
        DrawLine(image, x, y, x - wall.Normal.x * 6, y - wall.Normal.y * 6, 1.2f, {150, 150, 160});
    }
    DrawLine(image, x0, y0, x1, y1, 2.5f, {255, 255, 255});
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: level_preview MAP PNG [SIZE]\n");
        return 2;
    }
    const int size = argc == 4 ? std::atoi(argv[3]) : 600;
    std::vector<uint8_t> bytes;
    if (size < 100 || size > 8192 || !ReadFileBytes(argv[1], bytes, MaxMapFileSize) ||
        !LoadMapBytes(bytes.data(), bytes.size())) {
        std::fprintf(stderr, "%s: not a map, or a size outside 100 to 8192\n", argv[1]);
        return 1;
    }
    const float arena = float(int64_t(MapScale) * 450) / 10;
    const View view{arena > 0 ? (float(size) - 2 * Margin) / arena : 1};
    RgbaImage image = MakeImage(size, size, 0x10141CFF);
    for (const TWall& wall : Walls) DrawWall(image, view, wall);
    for (const TPickup& pickup : Pickups)
        DrawRing(image, view, pickup.Position, 12, {255, 140, 30});
    DrawRing(image, view, ExitPoint, 12, {0, 230, 255});
    for (const TCircle& circle : Circles)
        DrawRing(image, view, World.Positions[size_t(circle.Particle)], circle.Radius,
                 {60, 255, 90});
    if (!WritePng(argv[2], image)) {
        std::fprintf(stderr, "%s: cannot be written\n", argv[2]);
        return 1;
    }
    return 0;
}
