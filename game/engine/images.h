// Texture images: 24-bit Windows bitmaps and true-colour TGA files (raw or run-length encoded) read
// into OpenGL textures with mipmaps. The OpenGL context must be current for the texture loaders.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct TTextureInfo {
    uint32_t Texture = 0; // GL texture name; 0 when the image failed to load
    std::string FileName;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t BitsPerPixel = 0; // from the file's header
};

// A decoded image: tight rows of RGB or RGBA pixels (BitsPerPixel / 8 bytes each) in the order the
// texture receives them, its first row first.
struct TImage {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t BitsPerPixel = 0;
    std::vector<uint8_t> Pixels;
};

// Neither side of an image may exceed this many pixels: the game's largest picture is 800 by 600,
// and 4096 by 4096 (64 MiB of pixels at most) is far beyond it and within every driver's limit.
constexpr int32_t MaxImageSide = 4096;

// A 24-bit uncompressed bitmap, bottom row of the picture first, whatever the file's row order.
// The classic 40-byte info header has its pixels right behind it (after biClrUsed bytes); larger
// headers (V4, V5) at the file header's pixel offset. False for other depths or compressions and
// for files that do not hold all their pixels.
bool DecodeBmpImage(std::span<const uint8_t> file, TImage& image);
bool ReadBmpImage(const std::string& path, TImage& image);

// A TGA of image type 2 or 10 with 24 or more bits a pixel; the file's first row becomes the last,
// whatever the origin bits say. False for other types, colour maps, short or truncated files.
bool DecodeTgaImage(std::span<const uint8_t> file, TImage& image);
bool ReadTgaImage(const std::string& path, TImage& image);

// The loaders build the texture from the file: BMP minified linearly from the base level and
// stored as RGBA, TGA with trilinear mipmaps as RGB8 or RGBA8. The texture stays bound.
TTextureInfo LoadBmpTexture(const std::string& path);
TTextureInfo LoadTgaTexture(const std::string& path);
