// Writers for the two image formats the Game reads: 24-bit Windows bitmaps and Truevision TGA.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An RGBA picture, top row first, four bytes a pixel.
struct RgbaImage {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Pixels;
};

// A picture of the size filled with one colour.
RgbaImage MakeImage(int32_t width, int32_t height, uint32_t rgba = 0x000000FF);
uint8_t* PixelAt(RgbaImage& image, int32_t x, int32_t y);

// A 24-bit bitmap with the classic 40-byte info header, bottom row first, rows padded to 4 bytes;
// alpha is dropped.
std::vector<uint8_t> EncodeBmp(const RgbaImage& image);

// A true-colour TGA of 24 or 32 bits, uncompressed (type 2) or run-length encoded (type 10), bottom
// row first as the format's default origin says. Run-length packets never cross a row.
std::vector<uint8_t> EncodeTga(const RgbaImage& image, int bitsPerPixel, bool runLength);
