#include "painting.h"

#include <ft2build.h>
#include FT_FREETYPE_H

Rgb Mix(Rgb a, Rgb b, float t) {
    return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

Rgb Scale(Rgb color, float factor) {
    return {color.R * factor, color.G * factor, color.B * factor};
}

namespace {

uint8_t ToByte(float value) {
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0l, 255l));
}

bool Inside(const RgbaImage& image, int x, int y) {
    return x >= 0 && y >= 0 && x < image.Width && y < image.Height;
}

uint32_t HashLattice(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

float LatticeValue(int x, int y, int periodX, int periodY, uint32_t seed) {
    x = ((x % periodX) + periodX) % periodX;
    y = ((y % periodY) + periodY) % periodY;
    return static_cast<float>(HashLattice(x, y, seed) & 0xFFFF) / 65535.0f;
}

float SmoothStep(float t) {
    return t * t * (3 - 2 * t);
}

} // namespace

void BlendPixel(RgbaImage& image, int x, int y, Rgb color, float opacity) {
    if (!Inside(image, x, y) || opacity <= 0) return;
    uint8_t* pixel = PixelAt(image, x, y);
    const float under = pixel[3] / 255.0f;
    const float alpha = opacity + under * (1 - opacity);
    const float source[3] = {color.R, color.G, color.B};
    for (int c = 0; c < 3; ++c)
        pixel[c] = ToByte((source[c] * opacity + pixel[c] * under * (1 - opacity)) / alpha);
    pixel[3] = ToByte(alpha * 255);
}

void SetPixel(RgbaImage& image, int x, int y, Rgb color, float alpha) {
    if (!Inside(image, x, y)) return;
    uint8_t* pixel = PixelAt(image, x, y);
    pixel[0] = ToByte(color.R);
    pixel[1] = ToByte(color.G);
    pixel[2] = ToByte(color.B);
    pixel[3] = ToByte(alpha * 255);
}

Rgb GetPixel(const RgbaImage& image, int x, int y) {
    const uint8_t* pixel = &image.Pixels[(static_cast<size_t>(y) * image.Width + x) * 4];
    return {static_cast<float>(pixel[0]), static_cast<float>(pixel[1]),
            static_cast<float>(pixel[2])};
}

void FillEllipse(RgbaImage& image, float cx, float cy, float rx, float ry, Rgb color,
                 float opacity) {
    FillShape(image, static_cast<int>(cx - rx) - 1, static_cast<int>(cy - ry) - 1,
              static_cast<int>(cx + rx) + 2, static_cast<int>(cy + ry) + 2, color, opacity,
              [&](float x, float y) {
                  const float dx = (x - cx) / rx;
                  const float dy = (y - cy) / ry;
                  return dx * dx + dy * dy <= 1;
              });
}

void FillPolygon(RgbaImage& image, const float* xs, const float* ys, int count, Rgb color,
                 float opacity) {
    const float left = *std::min_element(xs, xs + count);
    const float right = *std::max_element(xs, xs + count);
    const float top = *std::min_element(ys, ys + count);
    const float bottom = *std::max_element(ys, ys + count);
    FillShape(
        image, static_cast<int>(left) - 1, static_cast<int>(top) - 1, static_cast<int>(right) + 2,
        static_cast<int>(bottom) + 2, color, opacity, [&](float x, float y) {
            bool positive = false;
            bool negative = false;
            for (int i = 0; i < count; ++i) {
                const int j = (i + 1) % count;
                const float cross = (xs[j] - xs[i]) * (y - ys[i]) - (ys[j] - ys[i]) * (x - xs[i]);
                positive |= cross > 0;
                negative |= cross < 0;
            }
            return !(positive && negative);
        });
}

void DrawLine(RgbaImage& image, float x0, float y0, float x1, float y1, float width, Rgb color,
              float opacity) {
    const float radius = width / 2;
    const float dx = x1 - x0;
    const float dy = y1 - y0;
    const float lengthSquared = std::max(dx * dx + dy * dy, 1e-6f);
    FillShape(
        image, static_cast<int>(std::min(x0, x1) - radius) - 1,
        static_cast<int>(std::min(y0, y1) - radius) - 1,
        static_cast<int>(std::max(x0, x1) + radius) + 2,
        static_cast<int>(std::max(y0, y1) + radius) + 2, color, opacity, [&](float x, float y) {
            const float t = std::clamp(((x - x0) * dx + (y - y0) * dy) / lengthSquared, 0.0f, 1.0f);
            const float ex = x - (x0 + t * dx);
            const float ey = y - (y0 + t * dy);
            return ex * ex + ey * ey <= radius * radius;
        });
}

float TileableNoise(float x, float y, int periodX, int periodY, uint32_t seed) {
    const int ix = static_cast<int>(std::floor(x));
    const int iy = static_cast<int>(std::floor(y));
    const float fx = SmoothStep(x - ix);
    const float fy = SmoothStep(y - iy);
    auto value = [&](int dx, int dy) {
        return LatticeValue(ix + dx, iy + dy, periodX, periodY, seed);
    };
    const float top = value(0, 0) + (value(1, 0) - value(0, 0)) * fx;
    const float bottom = value(0, 1) + (value(1, 1) - value(0, 1)) * fx;
    return top + (bottom - top) * fy;
}

float TileableFractalNoise(float x, float y, int periodX, int periodY, int octaves, uint32_t seed) {
    float sum = 0;
    float weight = 1;
    float total = 0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += TileableNoise(x, y, periodX, periodY, seed + octave) * weight;
        total += weight;
        x *= 2;
        y *= 2;
        periodX *= 2;
        periodY *= 2;
        weight /= 2;
    }
    return sum / total;
}

struct TextFont {
    FT_Library Library = nullptr;
    FT_Face Face = nullptr;
};

TextFont* OpenTextFont(const std::string& path, int pixelSize) {
    auto* font = new TextFont;
    if (FT_Init_FreeType(&font->Library) != 0 ||
        FT_New_Face(font->Library, path.c_str(), 0, &font->Face) != 0 ||
        FT_Set_Pixel_Sizes(font->Face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        CloseTextFont(font);
        return nullptr;
    }
    return font;
}

void CloseTextFont(TextFont* font) {
    if (!font) return;
    if (font->Face) FT_Done_Face(font->Face);
    if (font->Library) FT_Done_FreeType(font->Library);
    delete font;
}

int TextWidth(TextFont* font, const std::u32string& text) {
    long width = 0;
    for (char32_t c : text)
        if (FT_Load_Char(font->Face, c, FT_LOAD_DEFAULT) == 0)
            width += font->Face->glyph->advance.x;
    return static_cast<int>(width >> 6);
}

void DrawText(RgbaImage& image, TextFont* font, const std::u32string& text, int x, int y, Rgb top,
              Rgb bottom, float yTop, float yBottom, float opacity) {
    long penX = static_cast<long>(x) << 6;
    for (char32_t c : text) {
        if (FT_Load_Char(font->Face, c, FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot glyph = font->Face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        const int left = static_cast<int>(penX >> 6) + glyph->bitmap_left;
        const int rowTop = y - glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned column = 0; column < bitmap.width; ++column) {
                const uint8_t coverage = bitmap.buffer[row * bitmap.pitch + column];
                if (coverage == 0) continue;
                const int py = rowTop + static_cast<int>(row);
                const float t = std::clamp((py - yTop) / (yBottom - yTop), 0.0f, 1.0f);
                BlendPixel(image, left + static_cast<int>(column), py, Mix(top, bottom, t),
                           opacity * coverage / 255.0f);
            }
        penX += glyph->advance.x;
    }
}
