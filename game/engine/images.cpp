#include "images.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "engine.h"

#include <algorithm>
#include <utility>

namespace {

// The largest image file: the largest image in 4-byte pixels, each in a run-length packet of its
// own (5 bytes a pixel), with room for the headers. A larger file is not read into memory.
constexpr size_t MaxImageFileSize = size_t{MaxImageSide} * MaxImageSide * 5 + 65536;

constexpr size_t BmpHeadersSize = 14 + 40;
constexpr size_t TgaHeaderSize = 18;

uint16_t ReadU16(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

uint32_t ReadU32(std::span<const uint8_t> bytes, size_t offset) {
    return ReadU16(bytes, offset) | (static_cast<uint32_t>(ReadU16(bytes, offset + 2)) << 16);
}

// Copies one pixel from the files' blue-green-red(-alpha) order into red-green-blue(-alpha).
void CopySwapped(const uint8_t* source, uint8_t* target, size_t bytesPerPixel) {
    std::copy_n(source, bytesPerPixel, target);
    std::swap(target[0], target[2]);
}

bool DecodeRunLength(std::span<const uint8_t> data, size_t bytesPerPixel, size_t pixelCount,
                     uint8_t* pixels) {
    size_t in = 0;
    size_t written = 0;
    while (written < pixelCount) {
        if (in >= data.size()) return false;
        const uint8_t header = data[in++];
        // A packet that would run past the image is cut at its end.
        const size_t count = std::min<size_t>((header & 0x7F) + 1, pixelCount - written);
        const size_t sourceBytes = header >= 0x80 ? bytesPerPixel : count * bytesPerPixel;
        if (data.size() - in < sourceBytes) return false;
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* source = &data[in + (header >= 0x80 ? 0 : i * bytesPerPixel)];
            CopySwapped(source, pixels + (written + i) * bytesPerPixel, bytesPerPixel);
        }
        in += sourceBytes;
        written += count;
    }
    return true;
}

void ReverseRows(TImage& image) {
    const size_t rowBytes = static_cast<size_t>(image.Width) * (image.BitsPerPixel / 8);
    for (int32_t row = 0; row < image.Height / 2; ++row) {
        uint8_t* top = &image.Pixels[row * rowBytes];
        uint8_t* bottom = &image.Pixels[(image.Height - 1 - row) * rowBytes];
        std::swap_ranges(top, top + rowBytes, bottom);
    }
}

// OpenGL reads pixel rows at its default unpack alignment of 4 bytes, so tight rows of another
// length are copied into padded ones rather than read past the buffer's end.
std::vector<uint8_t> PadRowsToFour(const TImage& image) {
    const size_t rowBytes = static_cast<size_t>(image.Width) * (image.BitsPerPixel / 8);
    const size_t stride = (rowBytes + 3) & ~size_t{3};
    std::vector<uint8_t> padded(stride * image.Height);
    for (int32_t row = 0; row < image.Height; ++row)
        std::copy_n(&image.Pixels[row * rowBytes], rowBytes, &padded[row * stride]);
    return padded;
}

struct TTextureFormat {
    GLint MinFilter;
    GLint InternalFormat;
    GLenum PixelFormat;
    bool HasImage; // false: the texture name is made and configured but receives no image
};

uint32_t BuildTexture(const TImage& image, const TTextureFormat& format) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, format.MinFilter);
    if (format.HasImage) {
        const size_t rowBytes = static_cast<size_t>(image.Width) * (image.BitsPerPixel / 8);
        std::vector<uint8_t> padded;
        if (rowBytes % 4 != 0) padded = PadRowsToFour(image);
        gluBuild2DMipmaps(GL_TEXTURE_2D, format.InternalFormat, image.Width, image.Height,
                          format.PixelFormat, GL_UNSIGNED_BYTE,
                          padded.empty() ? image.Pixels.data() : padded.data());
    }
    return name;
}

} // namespace

bool DecodeBmpImage(std::span<const uint8_t> file, TImage& image) {
    image = TImage{};
    if (file.size() < BmpHeadersSize) return false;
    const uint32_t pixelOffset = ReadU32(file, 10);
    const uint32_t infoSize = ReadU32(file, 14);
    const auto width = static_cast<int32_t>(ReadU32(file, 18));
    const auto height = static_cast<int32_t>(ReadU32(file, 22));
    const uint16_t bitCount = ReadU16(file, 28);
    const uint32_t compression = ReadU32(file, 30);
    const uint32_t colorsUsed = ReadU32(file, 46);
    if (bitCount != 24 || compression != 0) return false;
    if (width < 1 || width > MaxImageSide || height == 0 || height < -MaxImageSide ||
        height > MaxImageSide)
        return false;
    const int32_t rows = height < 0 ? -height : height;
    const uint64_t start = infoSize > 40 ? pixelOffset : BmpHeadersSize + uint64_t{colorsUsed};
    const uint64_t stride = (static_cast<uint64_t>(width) * 3 + 3) & ~uint64_t{3};
    if (start > file.size() || file.size() - start < stride * rows) return false;

    image.Width = width;
    image.Height = rows;
    image.BitsPerPixel = bitCount;
    image.Pixels.resize(static_cast<size_t>(width) * rows * 3);
    for (int32_t row = 0; row < rows; ++row) {
        // A bottom-up file lists the picture's bottom row first; a top-down file ends with it.
        const int32_t fileRow = height > 0 ? row : rows - 1 - row;
        const uint8_t* source = &file[start + fileRow * stride];
        uint8_t* target = &image.Pixels[static_cast<size_t>(row) * width * 3];
        for (int32_t x = 0; x < width; ++x) CopySwapped(source + x * 3, target + x * 3, 3);
    }
    return true;
}

bool ReadBmpImage(const std::string& path, TImage& image) {
    std::vector<uint8_t> file;
    image = TImage{};
    return ReadFileWithin(path, MaxImageFileSize, file) && DecodeBmpImage(file, image);
}

bool DecodeTgaImage(std::span<const uint8_t> file, TImage& image) {
    image = TImage{};
    if (file.size() < TgaHeaderSize) return false;
    const uint8_t idLength = file[0];
    const uint8_t colorMapType = file[1];
    const uint8_t imageType = file[2];
    const uint16_t width = ReadU16(file, 12);
    const uint16_t height = ReadU16(file, 14);
    const uint8_t depth = file[16];
    if (colorMapType != 0 || (imageType != 2 && imageType != 10) || depth < 24) return false;
    if (width < 1 || height < 1 || width > MaxImageSide || height > MaxImageSide) return false;
    if (file.size() < TgaHeaderSize + idLength) return false;

    const std::span<const uint8_t> data = file.subspan(TgaHeaderSize + idLength);
    const size_t bytesPerPixel = depth / 8;
    const size_t pixelCount = size_t{width} * height;
    if (imageType == 2 && data.size() < pixelCount * bytesPerPixel) return false;
    // Even packets of 128 repeated pixels could not describe the image in fewer bytes.
    if (imageType == 10 && data.size() / (1 + bytesPerPixel) < (pixelCount + 127) / 128)
        return false;

    image.Width = width;
    image.Height = height;
    image.BitsPerPixel = depth;
    image.Pixels.resize(pixelCount * bytesPerPixel);
    if (imageType == 2) {
        for (size_t i = 0; i < pixelCount; ++i)
            CopySwapped(&data[i * bytesPerPixel], &image.Pixels[i * bytesPerPixel], bytesPerPixel);
    } else if (!DecodeRunLength(data, bytesPerPixel, pixelCount, image.Pixels.data())) {
        image = TImage{};
        return false;
    }
    ReverseRows(image);
    return true;
}

bool ReadTgaImage(const std::string& path, TImage& image) {
    std::vector<uint8_t> file;
    image = TImage{};
    return ReadFileWithin(path, MaxImageFileSize, file) && DecodeTgaImage(file, image);
}

TTextureInfo LoadBmpTexture(const std::string& path) {
    TTextureInfo info;
    info.FileName = path;
    TImage image;
    if (!ReadBmpImage(path, image)) return info;
    info.Texture = BuildTexture(image, {GL_LINEAR, GL_RGBA, GL_RGB, true});
    info.Width = image.Width;
    info.Height = image.Height;
    info.BitsPerPixel = image.BitsPerPixel;
    return info;
}

TTextureInfo LoadTgaTexture(const std::string& path) {
    TTextureInfo info;
    info.FileName = path;
    TImage image;
    if (!ReadTgaImage(path, image)) return info;
    info.BitsPerPixel = image.BitsPerPixel;
    info.Width = image.Width;
    info.Height = image.Height;
    TTextureFormat format{GL_LINEAR_MIPMAP_LINEAR, GL_RGB8, GL_RGB, image.BitsPerPixel == 24};
    if (image.BitsPerPixel == 32) format = {GL_LINEAR_MIPMAP_LINEAR, GL_RGBA8, GL_RGBA, true};
    info.Texture = BuildTexture(image, format);
    return info;
}
