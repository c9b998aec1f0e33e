// cindervaulter_icon ICON_FOLDER ICON_NAME: draws Cindervaulter's icons ICON_NAME.png, under
// ICON_FOLDER in the hicolor theme's layout, from the textures the game paints at start: its
// three-particle creature climbing to the upper right over the playfield's tiled background.
#include "game.h"
#include "icons.h"
#include "painting.h"

#include <cstdio>

namespace {

// Sub-samples a pixel is split into along each axis, so that scaled textures and edges come out
// smooth at every size.
constexpr int Samples = 4;

// The texel of a square texture `side` texels wide at (u, v) in [0, 1), as premultiplied RGBA in
// [0, 1].
void Texel(const uint8_t* pixels, int side, float u, float v, float premultiplied[4]) {
    const int x = std::clamp(static_cast<int>(u * side), 0, side - 1);
    const int y = std::clamp(static_cast<int>(v * side), 0, side - 1);
    const uint8_t* texel = pixels + (static_cast<size_t>(y) * side + x) * 4;
    const float alpha = texel[3] / 255.0f;
    for (int c = 0; c < 3; ++c) premultiplied[c] = texel[c] / 255.0f * alpha;
    premultiplied[3] = alpha;
}

// Blends the texture over the square of `diameter` pixels centred on (cx, cy); with `tile` set it
// repeats every `diameter` pixels over the whole picture instead, kept inside a rounded square.
void DrawTexture(RgbaImage& image, const uint8_t* pixels, int side, float cx, float cy,
                 float diameter, bool tile) {
    const float corner = image.Width * 0.14f;
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (int sy = 0; sy < Samples; ++sy)
                for (int sx = 0; sx < Samples; ++sx) {
                    const float px = x + (sx + 0.5f) / Samples;
                    const float py = y + (sy + 0.5f) / Samples;
                    float u = (px - cx) / diameter + 0.5f;
                    float v = (py - cy) / diameter + 0.5f;
                    if (tile) {
                        // Distance outside the square shrunk by the corner radius.
                        const float dx = std::max(std::abs(px - image.Width / 2.0f) -
                                                      (image.Width / 2.0f - corner),
                                                  0.0f);
                        const float dy = std::max(std::abs(py - image.Height / 2.0f) -
                                                      (image.Height / 2.0f - corner),
                                                  0.0f);
                        if (dx * dx + dy * dy > corner * corner) continue;
                        u -= std::floor(u);
                        v -= std::floor(v);
                    } else if (u < 0 || u >= 1 || v < 0 || v >= 1) {
                        continue;
                    }
                    float texel[4];
                    Texel(pixels, side, u, v, texel);
                    for (int c = 0; c < 4; ++c) sum[c] += texel[c];
                }
            const float opacity = sum[3] / (Samples * Samples);
            if (opacity > 0)
                BlendPixel(image, x, y,
                           {sum[0] / sum[3] * 255, sum[1] / sum[3] * 255, sum[2] / sum[3] * 255},
                           opacity);
        }
}

RgbaImage PaintIcon(int size) {
    RgbaImage image = MakeImage(size, size, 0);
    const float s = static_cast<float>(size);
    DrawTexture(image, BackPixels, 32, 0, 0, s / 6, true);
    // Tail, middle and head, joined by the creature's two sticks.
    const float xs[3] = {0.26f * s, 0.47f * s, 0.72f * s};
    const float ys[3] = {0.76f * s, 0.52f * s, 0.28f * s};
    for (int i = 0; i < 2; ++i)
        DrawLine(image, xs[i], ys[i], xs[i + 1], ys[i + 1], s / 40, {255, 255, 255});
    DrawTexture(image, CirclePixels, 128, xs[0], ys[0], 0.26f * s, false);
    DrawTexture(image, CirclePixels, 128, xs[1], ys[1], 0.26f * s, false);
    DrawTexture(image, LeadPixels, 128, xs[2], ys[2], 0.36f * s, false);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ICON_FOLDER ICON_NAME\n", argv[0]);
        return 2;
    }
    PaintTextures();
    return WriteIcons(argv[1], argv[2], PaintIcon) ? 0 : 1;
}
