#include "image_writers.h"

namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

const uint8_t* PixelAt(const RgbaImage& image, int32_t x, int32_t y) {
    return &image.Pixels[(static_cast<size_t>(y) * image.Width + x) * 4];
}

// One pixel in the files' blue-green-red(-alpha) order.
void PutPixel(std::vector<uint8_t>& out, const uint8_t* rgba, int bytesPerPixel) {
    out.push_back(rgba[2]);
    out.push_back(rgba[1]);
    out.push_back(rgba[0]);
    if (bytesPerPixel == 4) out.push_back(rgba[3]);
}

bool SamePixel(const uint8_t* a, const uint8_t* b, int bytesPerPixel) {
    for (int i = 0; i < bytesPerPixel; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// Runs of two or more equal pixels become run packets, everything between them raw packets, each
// packet at most 128 pixels.
void PutRunLengthRow(std::vector<uint8_t>& out, const RgbaImage& image, int32_t y,
                     int bytesPerPixel) {
    int32_t x = 0;
    while (x < image.Width) {
        int32_t run = 1;
        while (x + run < image.Width && run < 128 &&
               SamePixel(PixelAt(image, x, y), PixelAt(image, x + run, y), bytesPerPixel))
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
            PutPixel(out, PixelAt(image, x, y), bytesPerPixel);
            x += run;
            continue;
        }
        int32_t raw = 1;
        while (
            x + raw < image.Width && raw < 128 &&
            !(x + raw + 1 < image.Width &&
              SamePixel(PixelAt(image, x + raw, y), PixelAt(image, x + raw + 1, y), bytesPerPixel)))
            ++raw;
        out.push_back(static_cast<uint8_t>(raw - 1));
        for (int32_t i = 0; i < raw; ++i) PutPixel(out, PixelAt(image, x + i, y), bytesPerPixel);
        x += raw;
    }
}

} // namespace

RgbaImage MakeImage(int32_t width, int32_t height, uint32_t rgba) {
    RgbaImage image{width, height, {}};
    image.Pixels.resize(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < image.Pixels.size(); i += 4)
        for (int c = 0; c < 4; ++c)
            image.Pixels[i + c] = static_cast<uint8_t>(rgba >> (24 - 8 * c));
    return image;
}

uint8_t* PixelAt(RgbaImage& image, int32_t x, int32_t y) {
    return &image.Pixels[(static_cast<size_t>(y) * image.Width + x) * 4];
}

std::vector<uint8_t> EncodeBmp(const RgbaImage& image) {
    const uint32_t stride = (static_cast<uint32_t>(image.Width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = stride * static_cast<uint32_t>(image.Height);
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutU32(out, 54 + pixelBytes);
    PutU32(out, 0);
    PutU32(out, 54);
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(image.Width));
    PutU32(out, static_cast<uint32_t>(image.Height));
    PutU16(out, 1);
    PutU16(out, 24);
    PutU32(out, 0);
    PutU32(out, pixelBytes);
    PutU32(out, 2835); // 72 dots per inch
    PutU32(out, 2835);
    PutU32(out, 0);
    PutU32(out, 0);
    for (int32_t y = image.Height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < image.Width; ++x) PutPixel(out, PixelAt(image, x, y), 3);
        for (uint32_t pad = static_cast<uint32_t>(image.Width) * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> EncodeTga(const RgbaImage& image, int bitsPerPixel, bool runLength) {
    const int bytesPerPixel = bitsPerPixel / 8;
    std::vector<uint8_t> out;
    out.push_back(0);                  // no identification field
    out.push_back(0);                  // no colour map
    out.push_back(runLength ? 10 : 2); // true colour
    out.insert(out.end(), 5, 0);       // colour-map fields: none
    PutU16(out, 0);                    // x origin
    PutU16(out, 0);                    // y origin
    PutU16(out, static_cast<uint32_t>(image.Width));
    PutU16(out, static_cast<uint32_t>(image.Height));
    out.push_back(static_cast<uint8_t>(bitsPerPixel));
    out.push_back(bytesPerPixel == 4 ? 8 : 0); // alpha bits; bottom-left origin
    for (int32_t y = image.Height - 1; y >= 0; --y) {
        if (runLength) {
            PutRunLengthRow(out, image, y, bytesPerPixel);
            continue;
        }
        for (int32_t x = 0; x < image.Width; ++x)
            PutPixel(out, PixelAt(image, x, y), bytesPerPixel);
    }
    return out;
}
