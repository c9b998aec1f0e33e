// The BMP and TGA readers: files written by ImageMagick decode to the pixels ImageMagick reads,
// the documented edge cases hold, and broken files fail without reading out of bounds. The texture
// loaders are checked in an offscreen OpenGL context.
#include "engine/images.h"

#include "file_bytes.h"
#include "game_support.h"
#include "image_writers.h"
#include "offscreen_gl.h"
#include "run_program.h"
#include "scratch_folder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

// The picture's pixels as a decoder gives them: `channels` bytes each, rows bottom-up or top-down.
std::vector<uint8_t> Expected(const RgbaImage& image, int channels, bool bottomRowFirst) {
    std::vector<uint8_t> bytes;
    for (int32_t row = 0; row < image.Height; ++row) {
        const int32_t y = bottomRowFirst ? image.Height - 1 - row : row;
        for (int32_t x = 0; x < image.Width; ++x) {
            const uint8_t* pixel = &image.Pixels[(static_cast<size_t>(y) * image.Width + x) * 4];
            bytes.insert(bytes.end(), pixel, pixel + channels);
        }
    }
    return bytes;
}

std::vector<uint8_t> ReverseRows(const std::vector<uint8_t>& pixels, size_t rowBytes) {
    std::vector<uint8_t> reversed;
    for (size_t end = pixels.size(); end >= rowBytes; end -= rowBytes)
        reversed.insert(reversed.end(), pixels.begin() + (end - rowBytes), pixels.begin() + end);
    return reversed;
}

void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

bool DecodesBmp(const std::vector<uint8_t>& file) {
    TImage image;
    return DecodeBmpImage(file, image);
}

bool DecodesTga(const std::vector<uint8_t>& file) {
    TImage image;
    return DecodeTgaImage(file, image);
}

// An 18-byte TGA header followed by the given bytes.
std::vector<uint8_t> Tga(uint8_t type, uint16_t width, uint16_t height, uint8_t depth,
                         const std::vector<uint8_t>& data) {
    std::vector<uint8_t> file(18, 0);
    file[2] = type;
    file[12] = static_cast<uint8_t>(width);
    file[13] = static_cast<uint8_t>(width >> 8);
    file[14] = static_cast<uint8_t>(height);
    file[15] = static_cast<uint8_t>(height >> 8);
    file[16] = depth;
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

class ImageFiles : public ScratchFolderTest {
  protected:
    // Writes the picture as a PAM file and has ImageMagick convert it with the options.
    std::vector<uint8_t> ImageMagickFile(const RgbaImage& image, const std::string& options,
                                         const std::string& format, const std::string& output) {
        const std::string source = Dir + "/source.pam";
        std::ofstream(source, std::ios::binary)
            << "P7\nWIDTH " << image.Width << "\nHEIGHT " << image.Height
            << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
            << std::string(image.Pixels.begin(), image.Pixels.end());
        const std::string path = Dir + "/" + output;
        const std::string command =
            "convert '" + source + "' " + options + " " + format + ":'" + path + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadFileBytes(path, bytes));
        return bytes;
    }

    // The pixels ImageMagick reads from the file, in its own row order.
    std::vector<uint8_t> ImageMagickPixels(const std::vector<uint8_t>& file,
                                           const std::string& name, const std::string& format) {
        const std::string path = Dir + "/read-" + name;
        EXPECT_TRUE(WriteFileBytes(path, file));
        const std::string command =
            "convert '" + path + "' -depth 8 " + format + ":'" + path + ".raw'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadFileBytes(path + ".raw", bytes));
        return bytes;
    }
};

} // namespace

TEST_F(ImageFiles, ImageMagickBitmapsDecodeBottomRowFirst) {
    for (int32_t width : {1, 2, 3, 5, 8}) {
        const RgbaImage image = TestPicture(width, 3);
        for (const char* format : {"BMP3", "BMP"}) {
            SCOPED_TRACE(std::string(format) + " of width " + std::to_string(width));
            const std::vector<uint8_t> file =
                ImageMagickFile(image, "-type TrueColor", format, "picture.bmp");
            ASSERT_GE(file.size(), 54u);
            EXPECT_EQ(file[14], std::string(format) == "BMP3" ? 40 : 124); // info header size
            TImage decoded;
            ASSERT_TRUE(DecodeBmpImage(file, decoded));
            EXPECT_EQ(decoded.Width, width);
            EXPECT_EQ(decoded.Height, 3);
            EXPECT_EQ(decoded.BitsPerPixel, 24);
            const std::vector<uint8_t> seen = ImageMagickPixels(file, "picture.bmp", "rgb");
            EXPECT_EQ(decoded.Pixels, ReverseRows(seen, width * 3));
            EXPECT_EQ(decoded.Pixels, Expected(image, 3, true));
        }
    }
}

TEST_F(ImageFiles, TopDownBitmapReadsLikeItsBottomUpTwin) {
    const RgbaImage image = TestPicture(5, 4);
    const std::vector<uint8_t> bottomUp = EncodeBmp(image);
    std::vector<uint8_t> topDown(bottomUp.begin(), bottomUp.begin() + 54);
    const size_t stride = 16;
    for (int row = 3; row >= 0; --row)
        topDown.insert(topDown.end(), bottomUp.begin() + 54 + row * stride,
                       bottomUp.begin() + 54 + (row + 1) * stride);
    PutU32(topDown, 22, static_cast<uint32_t>(-4));
    TImage a;
    TImage b;
    ASSERT_TRUE(DecodeBmpImage(bottomUp, a));
    ASSERT_TRUE(DecodeBmpImage(topDown, b));
    EXPECT_EQ(b.Height, 4);
    EXPECT_EQ(a.Pixels, b.Pixels);
    // ImageMagick reads the top-down file top row first as well: the bitmap loader's order is the
    // picture's bottom row first.
    EXPECT_EQ(b.Pixels, ReverseRows(ImageMagickPixels(topDown, "topdown.bmp", "rgb"), 5 * 3));
}

TEST_F(ImageFiles, ClassicBitmapRulesHold) {
    // 64 x 32 with no image size given: 6144 bytes from byte 54.
    std::vector<uint8_t> file = EncodeBmp(TestPicture(64, 32));
    PutU32(file, 34, 0);
    file[0] = 'X'; // the signature is not looked at
    file[1] = 'Y';
    PutU32(file, 10, 999); // nor the pixel offset, for the classic header
    TImage image;
    ASSERT_TRUE(DecodeBmpImage(file, image));
    EXPECT_EQ(image.Width, 64);
    EXPECT_EQ(image.Height, 32);
    EXPECT_EQ(image.BitsPerPixel, 24);
    EXPECT_EQ(image.Pixels, Expected(TestPicture(64, 32), 3, true));

    // biClrUsed bytes (one per count) are skipped before the pixels.
    std::vector<uint8_t> withColours = EncodeBmp(TestPicture(4, 2));
    PutU32(withColours, 46, 5);
    withColours.insert(withColours.begin() + 54, 5, 0xEE);
    ASSERT_TRUE(DecodeBmpImage(withColours, image));
    EXPECT_EQ(image.Pixels, Expected(TestPicture(4, 2), 3, true));
}

TEST_F(ImageFiles, BitmapsOfOtherKindsOrSizesFail) {
    const std::vector<uint8_t> good = EncodeBmp(TestPicture(4, 4));
    auto patched = [&](size_t offset, uint32_t value, int bytes) {
        std::vector<uint8_t> file = good;
        for (int i = 0; i < bytes; ++i) file[offset + i] = static_cast<uint8_t>(value >> (8 * i));
        return file;
    };
    EXPECT_TRUE(DecodesBmp(good));
    EXPECT_FALSE(DecodesBmp(patched(28, 32, 2))) << "32 bits";
    EXPECT_FALSE(DecodesBmp(patched(28, 8, 2))) << "8 bits";
    EXPECT_FALSE(DecodesBmp(patched(30, 1, 4))) << "run-length compression";
    EXPECT_FALSE(DecodesBmp(patched(18, 0, 4))) << "width 0";
    EXPECT_FALSE(DecodesBmp(patched(22, 0, 4))) << "height 0";
    EXPECT_FALSE(DecodesBmp(patched(18, 0x80000000u, 4))) << "negative width";
    EXPECT_FALSE(DecodesBmp(patched(22, 0x80000000u, 4))) << "smallest height";
    EXPECT_FALSE(DecodesBmp(patched(18, 16385, 4))) << "too wide";
    EXPECT_FALSE(DecodesBmp(patched(22, 5, 4))) << "more rows than the file holds";
    EXPECT_FALSE(DecodesBmp(patched(46, 0xFFFFFFFFu, 4))) << "colours beyond the end";
    for (size_t size = 0; size < good.size(); ++size)
        EXPECT_FALSE(DecodesBmp(std::vector<uint8_t>(good.begin(), good.begin() + size))) << size;
    EXPECT_FALSE(
        DecodesBmp(ImageMagickFile(TestPicture(4, 4), "-type Palette", "BMP3", "palette.bmp")));
}

TEST_F(ImageFiles, ImageMagickTgaFilesDecodeFirstRowLast) {
    const RgbaImage image = TestPicture(6, 5);
    struct Variant {
        const char* Options;
        int Bits;
    };
    const Variant variants[] = {
        {"-type TrueColor -compress None", 24},
        {"-type TrueColor -compress RLE", 24},
        {"-type TrueColorAlpha -compress None", 32},
        {"-type TrueColorAlpha -compress RLE -set comment 'an identification field'", 32},
    };
    for (const Variant& variant : variants) {
        SCOPED_TRACE(variant.Options);
        const std::vector<uint8_t> file =
            ImageMagickFile(image, variant.Options, "TGA", "picture.tga");
        TImage decoded;
        ASSERT_TRUE(DecodeTgaImage(file, decoded));
        EXPECT_EQ(decoded.Width, 6);
        EXPECT_EQ(decoded.Height, 5);
        EXPECT_EQ(decoded.BitsPerPixel, variant.Bits);
        const std::string format = variant.Bits == 32 ? "rgba" : "rgb";
        const std::vector<uint8_t> seen = ImageMagickPixels(file, "picture.tga", format);
        EXPECT_EQ(decoded.Pixels, ReverseRows(seen, 6 * variant.Bits / 8));
    }
}

TEST_F(ImageFiles, TgaIsTurnedUpsideDownWhateverItsOrigin) {
    // Three rows in the file: red, green, blue.
    const std::vector<uint8_t> rows = {0, 0, 255, 0, 255, 0, 255, 0, 0};
    std::vector<uint8_t> file = Tga(2, 1, 3, 24, rows);
    for (uint8_t descriptor : {0x00, 0x20}) {
        file[17] = descriptor;
        TImage image;
        ASSERT_TRUE(DecodeTgaImage(file, image));
        EXPECT_EQ(image.Pixels, (std::vector<uint8_t>{0, 0, 255, 0, 255, 0, 255, 0, 0}));
    }
    // An identification field changes nothing.
    std::vector<uint8_t> identified = Tga(2, 1, 3, 24, rows);
    identified[0] = 5;
    identified.insert(identified.begin() + 18, {'h', 'e', 'l', 'l', 'o'});
    TImage a;
    TImage b;
    ASSERT_TRUE(DecodeTgaImage(file, a));
    ASSERT_TRUE(DecodeTgaImage(identified, b));
    EXPECT_EQ(a.Pixels, b.Pixels);
}

TEST_F(ImageFiles, RunLengthPacketsRepeatCopyAndStopAtTheImagesEnd) {
    // 0x83 repeats one pixel 4 times; 0x03 copies the next 4; the last packet asks for 6 of the
    // 2 pixels left and is cut.
    const std::vector<uint8_t> data = {0x83, 1,  2,  3,  0x03, 10, 11,   12, 20, 21, 22,
                                       30,   31, 32, 40, 41,   42, 0x85, 7,  8,  9};
    TImage image;
    ASSERT_TRUE(DecodeTgaImage(Tga(10, 10, 1, 24, data), image));
    const std::vector<uint8_t> expected = {3,  2,  1,  3,  2,  1,  3,  2,  1,  3, 2, 1, 12, 11, 10,
                                           22, 21, 20, 32, 31, 30, 42, 41, 40, 9, 8, 7, 9,  8,  7};
    EXPECT_EQ(image.Pixels, expected);
    // Packets may run over a row's end into the next.
    ASSERT_TRUE(DecodeTgaImage(Tga(10, 2, 2, 32, {0x83, 1, 2, 3, 4}), image));
    EXPECT_EQ(image.Pixels.size(), 16u);
}

TEST_F(ImageFiles, TgaFilesOfOtherKindsOrCutShortFail) {
    const std::vector<uint8_t> pixels(4 * 4 * 3, 0x55);
    EXPECT_TRUE(DecodesTga(Tga(2, 4, 4, 24, pixels)));
    for (uint8_t type : {1, 3, 9, 11, 0}) EXPECT_FALSE(DecodesTga(Tga(type, 4, 4, 24, pixels)));
    std::vector<uint8_t> colourMapped = Tga(2, 4, 4, 24, pixels);
    colourMapped[1] = 1;
    EXPECT_FALSE(DecodesTga(colourMapped));
    EXPECT_FALSE(DecodesTga(Tga(2, 4, 4, 16, pixels)));
    EXPECT_FALSE(DecodesTga(Tga(2, 0, 4, 24, pixels)));
    EXPECT_FALSE(DecodesTga(Tga(2, 16385, 1, 24, std::vector<uint8_t>(16385 * 3))));
    // 65535 x 65535 claimed by a tiny file: refused before anything is allocated.
    EXPECT_FALSE(DecodesTga(Tga(10, 65535, 65535, 32, {0xFF, 1, 2, 3, 4})));
    EXPECT_FALSE(DecodesTga(Tga(10, 16384, 16384, 32, {0xFF, 1, 2, 3, 4})));
    std::vector<uint8_t> longIdentification = Tga(2, 1, 1, 24, {1, 2, 3});
    longIdentification[0] = 200;
    EXPECT_FALSE(DecodesTga(longIdentification));

    const std::vector<uint8_t> raw = Tga(2, 4, 4, 32, std::vector<uint8_t>(64, 9));
    const std::vector<uint8_t> packed =
        Tga(10, 4, 4, 24,
            {0x05, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0x89, 1, 2, 3});
    ASSERT_TRUE(DecodesTga(packed));
    for (const std::vector<uint8_t>* file : {&raw, &packed})
        for (size_t size = 0; size < file->size(); ++size)
            EXPECT_FALSE(DecodesTga(std::vector<uint8_t>(file->begin(), file->begin() + size)))
                << size;
}

TEST_F(ImageFiles, MissingFilesFail) {
    TImage image;
    EXPECT_FALSE(ReadBmpImage(Dir + "/none.bmp", image));
    EXPECT_FALSE(ReadTgaImage(Dir + "/none.tga", image));
    EXPECT_FALSE(ReadTgaImage(Dir, image));
}

namespace {

class Textures : public ImageFiles {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(OpenOffscreenGL(Gl, 64, 64)); }
    static void TearDownTestSuite() { CloseOffscreenGL(Gl); }

    std::string Write(const std::vector<uint8_t>& bytes, const std::string& name) {
        const std::string path = Dir + "/" + name;
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        return path;
    }

    static GLint Parameter(GLenum name) {
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }

    static GLint LevelParameter(GLenum name) {
        GLint value = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
        return value;
    }

    // The base level of the bound texture as RGBA bytes, first row first.
    static std::vector<uint8_t> BaseLevel() {
        std::vector<uint8_t> pixels(static_cast<size_t>(LevelParameter(GL_TEXTURE_WIDTH)) *
                                    LevelParameter(GL_TEXTURE_HEIGHT) * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    static OffscreenGL Gl;
};

OffscreenGL Textures::Gl;

std::vector<uint8_t> Opaque(const RgbaImage& image, bool bottomRowFirst) {
    std::vector<uint8_t> rgba = Expected(image, 4, bottomRowFirst);
    for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    return rgba;
}

// Four rows: red, blue, green and white from the top; the width decides whether rows need
// padding.
RgbaImage FourRows(int32_t width) {
    RgbaImage image = MakeImage(width, 4, 0xFFFFFFFF);
    for (int32_t x = 0; x < width; ++x) {
        PixelAt(image, x, 0)[1] = PixelAt(image, x, 0)[2] = 0;
        PixelAt(image, x, 1)[0] = PixelAt(image, x, 1)[1] = 0;
        PixelAt(image, x, 2)[0] = PixelAt(image, x, 2)[2] = 0;
    }
    return image;
}

} // namespace

TEST_F(Textures, BitmapTextureKeepsFileRowOrderAsOpaqueRgba) {
    const RgbaImage image = TestPicture(4, 2);
    const TTextureInfo info = LoadBmpTexture(Write(EncodeBmp(image), "picture.bmp"));
    ASSERT_NE(info.Texture, 0u);
    EXPECT_EQ(info.Width, 4);
    EXPECT_EQ(info.Height, 2);
    EXPECT_EQ(info.BitsPerPixel, 24);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), info.Texture);
    EXPECT_EQ(LevelParameter(GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    EXPECT_EQ(Parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(Parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    EXPECT_EQ(BaseLevel(), Opaque(image, true));
}

TEST_F(Textures, TgaTextureIsMipmappedWithItsOwnFormat) {
    const RgbaImage image = TestPicture(4, 4);
    TTextureInfo info = LoadTgaTexture(Write(EncodeTga(image, 24, true), "picture24.tga"));
    ASSERT_NE(info.Texture, 0u);
    EXPECT_EQ(info.BitsPerPixel, 24);
    EXPECT_EQ(LevelParameter(GL_TEXTURE_INTERNAL_FORMAT), GL_RGB8);
    EXPECT_EQ(Parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    // The writer stores the bottom row first; the loader turns the file over: top row first.
    EXPECT_EQ(BaseLevel(), Opaque(image, false));

    info = LoadTgaTexture(Write(EncodeTga(image, 32, false), "picture32.tga"));
    ASSERT_NE(info.Texture, 0u);
    EXPECT_EQ(info.BitsPerPixel, 32);
    EXPECT_EQ(LevelParameter(GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
    EXPECT_EQ(BaseLevel(), Expected(image, 4, false));
}

TEST_F(Textures, RowsOfAnyWidthReachTheTextureIntact) {
    for (int32_t width : {1, 3, 5, 6}) {
        SCOPED_TRACE(width);
        const RgbaImage image = FourRows(width);
        for (bool bitmap : {true, false}) {
            const TTextureInfo info =
                bitmap ? LoadBmpTexture(Write(EncodeBmp(image), "odd.bmp"))
                       : LoadTgaTexture(Write(EncodeTga(image, 24, false), "odd.tga"));
            ASSERT_NE(info.Texture, 0u);
            // GLU scales the rows to a power of two across (and blackens the last row when it
            // does), so the first two rows are compared: each keeps its one colour. A bitmap
            // starts with its bottom row.
            const std::vector<uint8_t> pixels = BaseLevel();
            const size_t rowBytes = pixels.size() / 4;
            const std::vector<uint8_t> first = bitmap ? std::vector<uint8_t>{255, 255, 255, 255}
                                                      : std::vector<uint8_t>{255, 0, 0, 255};
            const std::vector<uint8_t> second = bitmap ? std::vector<uint8_t>{0, 255, 0, 255}
                                                       : std::vector<uint8_t>{0, 0, 255, 255};
            for (size_t i = 0; i < 2 * rowBytes; i += 4)
                EXPECT_EQ(std::vector<uint8_t>(&pixels[i], &pixels[i] + 4),
                          i < rowBytes ? first : second)
                    << (bitmap ? "bitmap" : "tga") << " byte " << i;
        }
    }
}

TEST_F(Textures, FailedLoadsGiveTextureZeroAndKeepTheName) {
    for (const std::string& path : {Dir + "/missing.bmp", Write({1, 2, 3}, "short.bmp")}) {
        const TTextureInfo info = LoadBmpTexture(path);
        EXPECT_EQ(info.Texture, 0u);
        EXPECT_EQ(info.FileName, path);
        EXPECT_EQ(info.Width, 0);
        EXPECT_EQ(info.BitsPerPixel, 0);
    }
    const std::string truncated = Write(Tga(2, 4, 4, 24, std::vector<uint8_t>(20)), "short.tga");
    const TTextureInfo info = LoadTgaTexture(truncated);
    EXPECT_EQ(info.Texture, 0u);
    EXPECT_EQ(info.FileName, truncated);
    EXPECT_EQ(info.Height, 0);
}

TEST_F(Textures, DeepTgaGetsATextureNameWithoutAnImage) {
    const TTextureInfo info =
        LoadTgaTexture(Write(Tga(2, 2, 2, 48, std::vector<uint8_t>(24, 7)), "deep.tga"));
    EXPECT_NE(info.Texture, 0u);
    EXPECT_EQ(info.BitsPerPixel, 48);
    EXPECT_EQ(LevelParameter(GL_TEXTURE_WIDTH), 0);
}
