// paint_textures FONT OUTPUT_FOLDER ICON_FOLDER ICON_NAME: paints the Game's four textures and
// writes them as "ROLK.tga" (the splash), "road.bmp", "water.tga" and "jump.bmp". FONT is a bold
// TrueType face for the splash's title. The splash's creature also becomes the program's icons
// ICON_NAME.png, under ICON_FOLDER in the hicolor theme's layout.
//
// How the game shows them decides their orientation: a TGA is turned upside down on loading and a
// bitmap is not, the road and obstacles are seen from behind with their texture's first row
// furthest away and its first column on the right. So the splash and the water appear as painted
// (the water mirrored), and the jump pad turned by half a turn.
#include "file_bytes.h"
#include "icons.h"
#include "image_writers.h"
#include "painting.h"

#include <cstdio>
#include <numbers>

namespace {

constexpr float Pi = std::numbers::pi_v<float>;

// A small deterministic generator, so every build paints the same pictures.
struct Dice {
    uint32_t State;
};

float Roll(Dice& dice) {
    dice.State = dice.State * 1664525u + 1013904223u;
    return static_cast<float>(dice.State >> 8) / static_cast<float>(1u << 24);
}

float SmoothStep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// Road: asphalt with soft blotches and grain, gravel shoulders, white edge lines and a dashed
// white centre line (white, so that the creature's orange beak and feet stand out against it). One
// picture is 20 by 40 road units; it repeats seamlessly along its length (rows) and is symmetric
// across, because the two-lane road mirrors it.
constexpr int RoadWidth = 256;
constexpr int RoadHeight = 512;

// The asphalt at (u, v), both in [0, 1): blotches and grain, turning to gravel at both edges.
Rgb RoadSurface(float u, float v) {
    const float blotch = TileableFractalNoise(u * 4, v * 8, 4, 8, 3, 11);
    const float grain = TileableNoise(u * 96, v * 192, 96, 192, 12);
    const float grey = 70 + (blotch - 0.5f) * 34 + (grain - 0.5f) * 14;
    const Rgb asphalt{grey * 0.97f, grey * 0.98f, grey * 1.03f};
    const float edge = std::min(u, 1 - u);
    const float gravel = TileableNoise(u * 128, v * 256, 128, 256, 13);
    const Rgb shoulder{96 + gravel * 40, 86 + gravel * 34, 70 + gravel * 26};
    return Mix(shoulder, asphalt, SmoothStep(0.045f, 0.06f, edge));
}

// Solid edge lines, and two short dashes down the middle, 8 units of line and 12 of gap each, so
// the scrolling road shows its speed.
void PaintRoadLines(RgbaImage& image) {
    const Rgb paint{236, 236, 226};
    const float wear = 0.9f;
    for (float left : {0.07f * RoadWidth, 0.885f * RoadWidth}) {
        const float right = left + 0.045f * RoadWidth;
        FillShape(image, 0, 0, RoadWidth, RoadHeight, paint, wear,
                  [&](float x, float) { return x >= left && x < right; });
    }
    const float dashLeft = 0.485f * RoadWidth;
    const float dashRight = 0.515f * RoadWidth;
    FillShape(image, 0, 0, RoadWidth, RoadHeight, paint, wear, [&](float x, float y) {
        const float v = y / RoadHeight;
        const bool dash = (v >= 0.15f && v < 0.35f) || (v >= 0.65f && v < 0.85f);
        return x >= dashLeft && x < dashRight && dash;
    });
}

// Worn spots in the paint, tileable like the asphalt; only the light lines show them.
void WearRoadLines(RgbaImage& image) {
    for (int y = 0; y < RoadHeight; ++y)
        for (int x = 0; x < RoadWidth; ++x) {
            const float u = (x + 0.5f) / RoadWidth;
            const float v = (y + 0.5f) / RoadHeight;
            const float scuff = TileableFractalNoise(u * 16, v * 32, 16, 32, 2, 14);
            const float amount = SmoothStep(0.68f, 0.85f, scuff) * 0.35f;
            const Rgb now = GetPixel(image, x, y);
            const float grey = (now.R + now.G + now.B) / 3;
            if (grey > 120) SetPixel(image, x, y, Mix(now, {80, 80, 84}, amount));
        }
}

RgbaImage PaintRoad() {
    RgbaImage image = MakeImage(RoadWidth, RoadHeight);
    for (int y = 0; y < RoadHeight; ++y)
        for (int x = 0; x < RoadWidth; ++x)
            SetPixel(image, x, y, RoadSurface((x + 0.5f) / RoadWidth, (y + 0.5f) / RoadHeight));
    PaintRoadLines(image);
    WearRoadLines(image);
    return image;
}

// Water hole: a hole broken into the road, its far inner wall of earth showing, deep blue water
// with ripples and glints; transparent around it so the road shows through.
constexpr int WaterSize = 256;
constexpr float HoleCentre = WaterSize / 2.0f;
constexpr float HoleSize = WaterSize * 0.42f;
// The water surface lies lower, so the viewer sees it shifted towards the near side.
constexpr float WaterDrop = WaterSize * 0.07f;

// The outline of the water hole: a wobbly circle, `radius` on average.
float HoleRadius(float angle, float radius) {
    return radius * (1 + 0.07f * std::sin(3 * angle + 1.1f) + 0.05f * std::sin(5 * angle + 2.3f) +
                     0.03f * std::sin(8 * angle + 0.4f));
}

// Above the water, `distance` from the centre: broken asphalt and earth along the rim, and inside
// it the inner wall of lit earth, darker towards the water.
Rgb HoleWall(float distance, float outline, float noise) {
    if (distance < outline - 6) {
        const float wall = SmoothStep(outline - 6, outline - 30, distance);
        return Scale(Mix({120, 92, 64}, {60, 44, 32}, wall), 0.85f + noise * 0.3f);
    }
    const Rgb rim =
        Mix({84, 62, 44}, {62, 60, 62}, SmoothStep(outline - 10, outline - 2, distance));
    return Scale(rim, 0.8f + noise * 0.4f);
}

// The water `distance` from its own centre: deeper blue inwards, rippled, with a dark band where
// it meets the wall.
Rgb WaterColor(float distance, float outline, float noise) {
    const float depth = std::clamp(1 - distance / outline, 0.0f, 1.0f);
    Rgb blue = Mix({60, 130, 190}, {14, 42, 110}, SmoothStep(0, 0.8f, depth));
    const float ripple = std::sin(distance * 0.35f - noise * 6) * 0.5f + 0.5f;
    blue = Scale(blue, 0.88f + ripple * 0.2f + (noise - 0.5f) * 0.2f);
    return Scale(blue, 0.6f + 0.4f * SmoothStep(0, 8, outline - distance));
}

// One pixel of the hole, the water over its wall, as opaque as the hole covers it; pixels outside
// the hole stay clear.
void PaintHolePixel(RgbaImage& image, int x, int y) {
    const float dx = x + 0.5f - HoleCentre;
    const float dy = y + 0.5f - HoleCentre;
    const float distance = std::hypot(dx, dy);
    const float outline = HoleRadius(std::atan2(dy, dx), HoleSize);
    const float alpha = 1 - SmoothStep(outline - 1.5f, outline + 0.5f, distance);
    if (alpha <= 0) return;
    const float noise = TileableFractalNoise(x / 16.0f, y / 16.0f, 16, 16, 3, 21);
    Rgb color = HoleWall(distance, outline, noise);
    const float wy = dy - WaterDrop;
    const float waterDistance = std::hypot(dx, wy);
    const float waterOutline = HoleRadius(std::atan2(wy, dx), HoleSize * 0.9f);
    const float water = 1 - SmoothStep(waterOutline - 1.5f, waterOutline + 0.5f, waterDistance);
    if (water > 0) color = Mix(color, WaterColor(waterDistance, waterOutline, noise), water);
    SetPixel(image, x, y, color, alpha);
}

// Glints of the sky on the water.
void PaintGlints(RgbaImage& image) {
    Dice dice{7};
    for (int i = 0; i < 14; ++i) {
        const float angle = Roll(dice) * 2 * Pi;
        const float reach = std::sqrt(Roll(dice)) * HoleSize * 0.6f;
        const float gx = HoleCentre + std::cos(angle) * reach;
        const float gy = HoleCentre + WaterDrop + std::sin(angle) * reach * 0.8f;
        FillEllipse(image, gx, gy, 6 + Roll(dice) * 8, 1.5f + Roll(dice), {200, 230, 255}, 0.45f);
    }
}

RgbaImage PaintWater() {
    RgbaImage image = MakeImage(WaterSize, WaterSize, 0x54 << 24 | 0x3E << 16 | 0x2C << 8);
    for (int y = 0; y < WaterSize; ++y)
        for (int x = 0; x < WaterSize; ++x) PaintHolePixel(image, x, y);
    PaintGlints(image);
    return image;
}

// Jump pad: a trampoline in a square frame of hazard stripes, with two white chevrons that point
// ahead along the road in the game (down in the picture, which the game shows turned).
constexpr int PadSize = 256;
constexpr float PadCentre = PadSize / 2.0f;

void PaintHazardStripes(RgbaImage& image) {
    const float stripe = 22;
    for (int y = 0; y < PadSize; ++y)
        for (int x = 0; x < PadSize; ++x) {
            const float phase = std::fmod((x + y) / stripe, 2.0f);
            const bool yellow = phase < 1;
            const float noise = TileableFractalNoise(x / 32.0f, y / 32.0f, 8, 8, 3, 31);
            const Rgb color = yellow ? Rgb{242, 196, 24} : Rgb{28, 28, 30};
            SetPixel(image, x, y, Scale(color, 0.85f + noise * 0.25f));
        }
}

// The dark base plate with a bevel.
void PaintBasePlate(RgbaImage& image) {
    const float inset = 26;
    FillShape(image, 0, 0, PadSize, PadSize, {18, 18, 22}, 1, [&](float x, float y) {
        return x >= inset - 3 && y >= inset - 3 && x < PadSize - inset + 3 &&
               y < PadSize - inset + 3;
    });
    FillShape(image, 0, 0, PadSize, PadSize, {52, 54, 60}, 1, [&](float x, float y) {
        return x >= inset && y >= inset && x < PadSize - inset && y < PadSize - inset;
    });
}

// Frame ring and the springs between frame and mat.
void PaintPadFrame(RgbaImage& image) {
    const float c = PadCentre;
    FillEllipse(image, c, c, 96, 96, {150, 160, 176});
    FillEllipse(image, c, c, 86, 86, {36, 36, 44});
    for (int i = 0; i < 28; ++i) {
        const float angle = i * 2 * Pi / 28;
        const float ca = std::cos(angle);
        const float sa = std::sin(angle);
        DrawLine(image, c + ca * 68, c + sa * 68, c + ca * 88, c + sa * 88, 4, {200, 205, 214});
    }
}

// The mat: red, lighter towards its middle, with a ring of stitching.
void PaintMat(RgbaImage& image) {
    for (int y = 0; y < PadSize; ++y)
        for (int x = 0; x < PadSize; ++x) {
            const float distance = std::hypot(x + 0.5f - PadCentre, y + 0.5f - PadCentre);
            const float cover = 1 - SmoothStep(65.5f, 67, distance);
            if (cover <= 0) continue;
            const float light = 1 - SmoothStep(0, 66, distance);
            Rgb mat = Mix({150, 24, 28}, {236, 76, 60}, light);
            const float ring = std::abs(distance - 56);
            if (ring < 1.5f) mat = Mix(mat, {250, 220, 200}, 0.6f * (1 - ring / 1.5f));
            BlendPixel(image, x, y, mat, cover);
        }
}

// A chevron with its tip at (PadCentre, tip + 16), pointing down. It is not convex: it is filled
// as two convex halves.
void PaintChevron(RgbaImage& image, float tip) {
    const float c = PadCentre;
    const float xs[6] = {c - 34, c, c + 34, c + 34, c, c - 34};
    const float ys[6] = {tip - 34, tip, tip - 34, tip - 18, tip + 16, tip - 18};
    const float leftX[4] = {xs[0], xs[1], xs[4], xs[5]};
    const float leftY[4] = {ys[0], ys[1], ys[4], ys[5]};
    const float rightX[4] = {xs[1], xs[2], xs[3], xs[4]};
    const float rightY[4] = {ys[1], ys[2], ys[3], ys[4]};
    FillPolygon(image, leftX, leftY, 4, {255, 250, 240}, 0.95f);
    FillPolygon(image, rightX, rightY, 4, {255, 250, 240}, 0.95f);
}

RgbaImage PaintJumpPad() {
    RgbaImage image = MakeImage(PadSize, PadSize);
    PaintHazardStripes(image);
    PaintBasePlate(image);
    PaintPadFrame(image);
    PaintMat(image);
    for (float tip : {PadCentre + 30, PadCentre + 4}) PaintChevron(image, tip);
    return image;
}

// The half width of the splash's road at screen row y, which narrows towards the horizon.
constexpr float Horizon = 330;
float RoadHalfWidth(float y) {
    return 6 + (y - Horizon) / (600 - Horizon) * 234;
}

void PaintSky(RgbaImage& image) {
    for (int y = 0; y < image.Height; ++y) {
        const float t = y / Horizon;
        Rgb color = Mix({14, 20, 64}, {96, 62, 130}, SmoothStep(0, 0.6f, t));
        color = Mix(color, {252, 164, 92}, SmoothStep(0.45f, 1, t));
        for (int x = 0; x < image.Width; ++x) SetPixel(image, x, y, color);
    }
    Dice dice{3};
    for (int i = 0; i < 90; ++i) {
        const float x = Roll(dice) * image.Width;
        const float y = Roll(dice) * Horizon * 0.55f;
        FillEllipse(image, x, y, 0.8f + Roll(dice), 0.8f + Roll(dice), {255, 250, 230},
                    0.4f + Roll(dice) * 0.5f);
    }
    // The sun setting at the road's end, with its glow.
    for (int ring = 5; ring >= 1; --ring)
        FillEllipse(image, 400, Horizon, 60.0f + ring * 22, 60.0f + ring * 22, {255, 200, 120},
                    0.08f);
    FillEllipse(image, 400, Horizon, 62, 62, {255, 226, 140});
    // Hills along the horizon.
    for (int x = 0; x < image.Width; ++x) {
        const float height = 8 + TileableFractalNoise(x / 90.0f, 0, 9, 1, 3, 41) * 34;
        for (int y = static_cast<int>(Horizon - height); y < Horizon; ++y)
            SetPixel(image, x, y, Mix({54, 34, 78}, {86, 50, 86}, (y - Horizon + height) / height));
    }
}

void PaintGround(RgbaImage& image) {
    for (int y = static_cast<int>(Horizon); y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            const float t = (y - Horizon) / (image.Height - Horizon);
            const float noise = TileableFractalNoise(x / 40.0f, y / 12.0f, 20, 50, 3, 51);
            const Rgb grass = Mix({74, 126, 60}, {34, 96, 40}, t);
            SetPixel(image, x, y, Scale(grass, 0.85f + noise * 0.3f));
        }
    // The road with its edge lines and dashed centre line in perspective.
    for (int y = static_cast<int>(Horizon); y < image.Height; ++y) {
        const float half = RoadHalfWidth(y + 0.5f);
        const float depth = 900 / (y + 0.5f - Horizon + 6);
        const bool dash = std::fmod(depth, 2.0f) < 1;
        for (int x = 0; x < image.Width; ++x) {
            const float offset = std::abs(x + 0.5f - 400) / half;
            if (offset > 1) continue;
            const float t = (y - Horizon) / (image.Height - Horizon);
            Rgb color = Mix({120, 108, 112}, {74, 72, 78}, t);
            if (offset > 0.82f && offset < 0.9f) color = {230, 226, 214};
            if (dash && offset < 0.03f) color = {236, 190, 50};
            SetPixel(image, x, y, color);
        }
    }
}

// A water hole and a jump pad lying on the splash's road.
void PaintObstacles(RgbaImage& image) {
    const float padY = 360;
    const float padHalf = RoadHalfWidth(padY) * 0.5f;
    const float padDepth = 7;
    const float xs[4] = {400 - padHalf, 400 + padHalf, 400 + padHalf * 1.1f, 400 - padHalf * 1.1f};
    const float ys[4] = {padY - padDepth, padY - padDepth, padY + padDepth, padY + padDepth};
    FillPolygon(image, xs, ys, 4, {242, 196, 24});
    FillEllipse(image, 400, padY, padHalf * 0.62f, padDepth * 0.7f, {210, 50, 44});
    const float waterY = 412;
    const float waterHalf = RoadHalfWidth(waterY) * 0.55f;
    FillEllipse(image, 400, waterY, waterHalf + 4, 13, {70, 52, 40});
    FillEllipse(image, 400, waterY + 2, waterHalf, 10, {24, 60, 140});
    FillEllipse(image, 392, waterY + 1, waterHalf * 0.5f, 2.5f, {140, 190, 240}, 0.5f);
}

// The yellow creature standing on the road, facing the viewer, centred on (cx, cy) at `scale`
// times its splash size.
void PaintCreature(RgbaImage& image, float cx, float cy, float scale) {
    const auto at = [&](float x, float y, float rx, float ry, Rgb color, float opacity = 1) {
        FillEllipse(image, cx + x * scale, cy + y * scale, rx * scale, ry * scale, color, opacity);
    };
    const auto line = [&](float x0, float y0, float x1, float y1, float width) {
        DrawLine(image, cx + x0 * scale, cy + y0 * scale, cx + x1 * scale, cy + y1 * scale,
                 width * scale, {226, 150, 0});
    };
    at(0, 74, 70, 12, {20, 30, 20}, 0.35f);
    line(-22, 40, -28, 70, 8);
    line(22, 40, 28, 70, 8);
    line(-40, 70, -16, 70, 7);
    line(16, 70, 40, 70, 7);
    // Wings, then the body.
    at(-64, 4, 18, 30, {236, 190, 20});
    at(64, 4, 18, 30, {236, 190, 20});
    for (int y = static_cast<int>(cy - 62 * scale); y < cy + 62 * scale; ++y)
        for (int x = static_cast<int>(cx - 66 * scale); x < cx + 66 * scale; ++x) {
            const float dx = (x + 0.5f - cx) / (64 * scale);
            const float dy = (y + 0.5f - cy) / (60 * scale);
            const float distance = std::hypot(dx, dy);
            if (distance > 1.02f) continue;
            const float light = std::clamp(0.6f - dx * 0.3f - dy * 0.45f, 0.0f, 1.0f);
            const Rgb body = Mix({226, 176, 10}, {255, 240, 120}, light);
            BlendPixel(image, x, y, body, 1 - SmoothStep(0.98f, 1.02f, distance));
        }
    for (float side : {-1.0f, 1.0f}) {
        at(side * 22, -18, 15, 18, {255, 255, 255});
        at(side * 20, -14, 7, 9, {20, 20, 24});
        at(side * 18, -18, 2.5f, 2.5f, {255, 255, 255});
    }
    const float beakX[3] = {cx - 13 * scale, cx + 13 * scale, cx};
    const float beakY[3] = {cy + 2 * scale, cy + 2 * scale, cy + 22 * scale};
    FillPolygon(image, beakX, beakY, 3, {200, 150, 0});
}

// The icon: the creature alone on a clear ground. It spans 164 by 148 splash pixels around a
// point 12 below its centre (wing tip to wing tip, head to shadow), scaled to fill 92% of the side.
RgbaImage PaintIcon(int size) {
    RgbaImage image = MakeImage(size, size, 0);
    const float scale = size * 0.92f / 164;
    PaintCreature(image, size / 2.0f, size / 2.0f - 12 * scale, scale);
    return image;
}

bool PaintTitle(RgbaImage& image, const std::string& fontPath) {
    TextFont* title = OpenTextFont(fontPath, 132);
    TextFont* subtitle = OpenTextFont(fontPath, 30);
    if (!title || !subtitle) {
        CloseTextFont(title);
        CloseTextFont(subtitle);
        std::fprintf(stderr, "paint_textures: cannot read the font %s\n", fontPath.c_str());
        return false;
    }
    const std::u32string name = U"GAME";
    const int x = (image.Width - TextWidth(title, name)) / 2;
    const int baseline = 158;
    DrawText(image, title, name, x + 6, baseline + 8, {10, 6, 30}, {10, 6, 30}, 0, 1, 0.5f);
    for (int step = 0; step < 16; ++step) {
        const float angle = step * 2 * Pi / 16;
        DrawText(image, title, name, x + static_cast<int>(std::lround(std::cos(angle) * 5)),
                 baseline + static_cast<int>(std::lround(std::sin(angle) * 5)), {40, 16, 8},
                 {40, 16, 8}, 0, 1);
    }
    DrawText(image, title, name, x, baseline, {255, 240, 120}, {255, 128, 24}, baseline - 96,
             baseline);
    const std::u32string modes = U"JUMP  \u2022  MOVE  \u2022  STOP";
    const int modesX = (image.Width - TextWidth(subtitle, modes)) / 2;
    DrawText(image, subtitle, modes, modesX + 2, 214, {10, 6, 30}, {10, 6, 30}, 0, 1, 0.6f);
    DrawText(image, subtitle, modes, modesX, 212, {255, 255, 255}, {255, 226, 190}, 190, 212);
    CloseTextFont(title);
    CloseTextFont(subtitle);
    return true;
}

// Splash: the title over the road at sunset, the creature in front with a jump pad and a water
// hole coming towards it. Exactly the 800 by 600 screen.
bool PaintSplash(const std::string& fontPath, RgbaImage& image) {
    image = MakeImage(800, 600);
    PaintSky(image);
    PaintGround(image);
    PaintObstacles(image);
    PaintCreature(image, 400, 500, 1);
    return PaintTitle(image, fontPath);
}

bool Write(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
    if (WriteFileBytes(folder + "/" + name, bytes)) return true;
    std::fprintf(stderr, "paint_textures: cannot write %s/%s\n", folder.c_str(), name.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s FONT OUTPUT_FOLDER ICON_FOLDER ICON_NAME\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[2];
    RgbaImage splash;
    if (!PaintSplash(argv[1], splash)) return 1;
    const bool written = Write(folder, "ROLK.tga", EncodeTga(splash, 24, false)) &&
                         Write(folder, "road.bmp", EncodeBmp(PaintRoad())) &&
                         Write(folder, "water.tga", EncodeTga(PaintWater(), 32, true)) &&
                         Write(folder, "jump.bmp", EncodeBmp(PaintJumpPad())) &&
                         WriteIcons(argv[3], argv[4], PaintIcon);
    return written ? 0 : 1;
}
