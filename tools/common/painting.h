// Small painting primitives for the texture painter: blending, anti-aliased shapes, tileable noise
// and text drawn with FreeType.
#pragma once

#include "image_writers.h"

#include <algorithm>
#include <cmath>
#include <string>

struct Rgb {
    float R = 0;
    float G = 0;
    float B = 0;
};

Rgb Mix(Rgb a, Rgb b, float t);
Rgb Scale(Rgb color, float factor);

// Composites the colour over the pixel with the opacity (0 to 1); pixels outside are ignored.
void BlendPixel(RgbaImage& image, int x, int y, Rgb color, float opacity);
// Sets the pixel outright, alpha included (0 to 1).
void SetPixel(RgbaImage& image, int x, int y, Rgb color, float alpha = 1);
Rgb GetPixel(const RgbaImage& image, int x, int y);

// Fills the pixels of the rectangle [x0, x1) x [y0, y1) where `inside(x, y)` holds for the pixel's
// points, sampled 4 x 4 per pixel so that the edges come out smooth. `inside` takes pixel
// coordinates whose integer values are the pixels' corners.
template <typename Inside>
void FillShape(RgbaImage& image, int x0, int y0, int x1, int y1, Rgb color, float opacity,
               Inside inside) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, image.Width);
    y1 = std::min(y1, image.Height);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    if (inside(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4)) ++hits;
            if (hits > 0) BlendPixel(image, x, y, color, opacity * hits / 16.0f);
        }
}

void FillEllipse(RgbaImage& image, float cx, float cy, float rx, float ry, Rgb color,
                 float opacity = 1);
// A convex polygon given by its corners in order (either direction).
void FillPolygon(RgbaImage& image, const float* xs, const float* ys, int count, Rgb color,
                 float opacity = 1);
// A straight stroke with round ends.
void DrawLine(RgbaImage& image, float x0, float y0, float x1, float y1, float width, Rgb color,
              float opacity = 1);

// Smooth value noise in [0, 1] on a lattice that wraps around after `periodX` by `periodY` cells,
// so a picture sampled over one period tiles seamlessly. Coordinates are in lattice cells.
float TileableNoise(float x, float y, int periodX, int periodY, uint32_t seed);
// Several octaves of tileable noise, each twice as fine and half as strong; [0, 1].
float TileableFractalNoise(float x, float y, int periodX, int periodY, int octaves, uint32_t seed);

struct TextFont;
// Opens a TrueType font at a pixel size; null when it cannot be read.
TextFont* OpenTextFont(const std::string& path, int pixelSize);
void CloseTextFont(TextFont* font);
// The advance width of the text in pixels.
int TextWidth(TextFont* font, const std::u32string& text);
// Draws the text with its baseline at y, shaded from `top` to `bottom` colour over [yTop, yBottom].
void DrawText(RgbaImage& image, TextFont* font, const std::u32string& text, int x, int y, Rgb top,
              Rgb bottom, float yTop, float yBottom, float opacity = 1);
