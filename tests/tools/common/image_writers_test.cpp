// The BMP and TGA writers read back by ImageMagick, a reader written by others.
#include "image_writers.h"

#include "file_bytes.h"
#include "game_support.h"
#include "run_program.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

std::vector<uint8_t> Channels(const RgbaImage& image, int count) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < image.Pixels.size(); i += 4)
        bytes.insert(bytes.end(), &image.Pixels[i], &image.Pixels[i] + count);
    return bytes;
}

class ImageWriters : public ScratchFolderTest {
  protected:
    // What ImageMagick reads from the file, top row first ("rgb" or "rgba" bytes).
    std::vector<uint8_t> ReadWithImageMagick(const std::vector<uint8_t>& file,
                                             const std::string& name, const std::string& format) {
        const std::string path = Dir + "/" + name;
        EXPECT_TRUE(WriteFileBytes(path, file));
        const std::string output = path + "." + format;
        const std::string command = "convert '" + path + "' -auto-orient -depth 8 " + format +
                                    ":'" + output + "' 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadFileBytes(output, bytes));
        return bytes;
    }
};

// Walks the run-length stream row by row; false when a packet runs over a row's end.
bool PacketsStayInRows(const std::vector<uint8_t>& file, int32_t width, int32_t height,
                       size_t bytesPerPixel) {
    size_t at = 18;
    for (int32_t row = 0; row < height; ++row) {
        int32_t written = 0;
        while (written < width) {
            if (at >= file.size()) return false;
            const uint8_t header = file[at++];
            written += (header & 0x7F) + 1;
            at += header >= 0x80 ? bytesPerPixel : ((header & 0x7F) + 1) * bytesPerPixel;
        }
        if (written != width) return false;
    }
    return at == file.size();
}

} // namespace

TEST_F(ImageWriters, ImageMagickReadsTheBitmapsPixels) {
    for (int32_t width : {1, 2, 3, 4, 13}) {
        SCOPED_TRACE(width);
        const RgbaImage image = TestPicture(width, 7);
        const std::vector<uint8_t> file = EncodeBmp(image);
        EXPECT_EQ(file.size(), 54u + ((width * 3 + 3) & ~3) * 7);
        EXPECT_EQ(ReadWithImageMagick(file, "picture.bmp", "rgb"), Channels(image, 3));
    }
}

TEST_F(ImageWriters, ImageMagickReadsTheTgaPixelsInEveryVariant) {
    const RgbaImage image = TestPicture(37, 9);
    for (int bits : {24, 32})
        for (bool runLength : {false, true}) {
            SCOPED_TRACE(std::to_string(bits) + (runLength ? " run-length" : " raw"));
            const std::vector<uint8_t> file = EncodeTga(image, bits, runLength);
            EXPECT_EQ(file[2], runLength ? 10 : 2);
            EXPECT_EQ(file[16], bits);
            EXPECT_EQ(file[17], bits == 32 ? 8 : 0); // alpha bits, bottom-left origin
            const std::string format = bits == 32 ? "rgba" : "rgb";
            EXPECT_EQ(ReadWithImageMagick(file, "picture.tga", format), Channels(image, bits / 8));
        }
}

TEST_F(ImageWriters, RunLengthPacketsEndWithEachRowAndShrinkFlatPictures) {
    const RgbaImage image = TestPicture(300, 12);
    for (int bits : {24, 32}) {
        const std::vector<uint8_t> file = EncodeTga(image, bits, true);
        EXPECT_TRUE(PacketsStayInRows(file, 300, 12, bits / 8)) << bits;
    }
    const RgbaImage flat = MakeImage(1000, 50, 0x336699FF);
    EXPECT_LT(EncodeTga(flat, 24, true).size(), 150000u / 50) << "a fiftieth of the raw pixels";
    EXPECT_TRUE(PacketsStayInRows(EncodeTga(flat, 24, true), 1000, 50, 3));
}
