// The Game's built assets as the game will meet them: each compressed texture expands under its
// registered name into an image of the right kind and shape, and the music decodes to a tune of
// about a minute that loops without a seam.
#include "engine/images.h"
#include "file_bytes.h"
#include "resources.h"
#include "run_program.h"
#include "scratch_folder.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

const std::string ResourcesDir = std::string(GAME_RUN_DIR) + "/Resources/";

class GameAssets : public ScratchFolderTest {
  protected:
    // Expands the compressed asset and reads the whole expanded file.
    std::vector<uint8_t> Expand(const std::string& compressed, const std::string& expectedName) {
        const std::string path = ResourcesDir + compressed;
        EXPECT_EQ(ExpandedFileName(path), ResourcesDir + expectedName);
        const std::string output = Dir + "/" + expectedName;
        EXPECT_TRUE(ExpandCompressedFile(path, output));
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadFileBytes(output, bytes));
        return bytes;
    }
};

double RowDifference(const TImage& image, int32_t a, int32_t b) {
    const size_t rowBytes = static_cast<size_t>(image.Width) * 3;
    double sum = 0;
    for (size_t i = 0; i < rowBytes; ++i)
        sum += std::abs(image.Pixels[a * rowBytes + i] - image.Pixels[b * rowBytes + i]);
    return sum / rowBytes;
}

const uint8_t* Pixel(const TImage& image, int32_t x, int32_t y) {
    const size_t bytes = static_cast<size_t>(image.BitsPerPixel / 8);
    return &image.Pixels[(static_cast<size_t>(y) * image.Width + x) * bytes];
}

} // namespace

TEST_F(GameAssets, SplashIsTitleArtThatFitsTheScreen) {
    TImage splash;
    ASSERT_TRUE(DecodeTgaImage(Expand("ROLK.tg_", "ROLK.tga"), splash));
    EXPECT_LE(splash.Width, 800);
    EXPECT_LE(splash.Height, 600);
    EXPECT_GE(splash.Width, 400);
    // The title's warm letters sit in the upper part of the picture, whose first row is its top.
    int warm = 0;
    for (int32_t y = 0; y < splash.Height / 3; ++y)
        for (int32_t x = 0; x < splash.Width; ++x) {
            const uint8_t* p = Pixel(splash, x, y);
            warm += p[0] > 220 && p[1] > 120 && p[2] < 100;
        }
    EXPECT_GT(warm, 5000);
    // The grass lies below the horizon: none in the top third, plenty in the bottom third.
    auto grass = [&](int32_t fromRow, int32_t toRow) {
        int count = 0;
        for (int32_t y = fromRow; y < toRow; ++y)
            for (int32_t x = 0; x < splash.Width; ++x) {
                const uint8_t* p = Pixel(splash, x, y);
                count += p[1] > p[0] + 30 && p[1] > p[2] + 30;
            }
        return count;
    };
    EXPECT_LT(grass(0, splash.Height / 3), 100);
    EXPECT_GT(grass(splash.Height * 2 / 3, splash.Height), splash.Width * splash.Height / 10);
}

TEST_F(GameAssets, RoadTilesAlongItsLengthAndIsSymmetricAcross) {
    TImage road;
    ASSERT_TRUE(DecodeBmpImage(Expand("road.bm_", "road.bmp"), road));
    EXPECT_EQ(road.BitsPerPixel, 24);
    EXPECT_EQ(road.Height, 2 * road.Width) << "20 units wide, 40 long";
    double neighbours = 0;
    for (int32_t y = 0; y + 1 < road.Height; ++y) neighbours += RowDifference(road, y, y + 1);
    neighbours /= road.Height - 1;
    EXPECT_LE(RowDifference(road, road.Height - 1, 0), neighbours * 2 + 1)
        << "the last row runs on into the first";
    // Brightness across the road: edge lines at both sides, mirrored.
    std::vector<double> across(road.Width);
    for (int32_t x = 0; x < road.Width; ++x) {
        for (int32_t y = 0; y < road.Height; ++y) across[x] += Pixel(road, x, y)[1];
        across[x] /= road.Height;
    }
    int brightColumns = 0;
    for (int32_t x = 0; x < road.Width; ++x) {
        EXPECT_NEAR(across[x], across[road.Width - 1 - x], 25) << x;
        brightColumns += across[x] > 180;
    }
    EXPECT_GE(brightColumns, 8) << "edge lines";
}

TEST_F(GameAssets, WaterIsARunLengthHoleWithTransparentSurroundings) {
    const std::vector<uint8_t> file = Expand("water.tg_", "water.tga");
    ASSERT_GE(file.size(), 18u);
    EXPECT_EQ(file[2], 10) << "run-length encoded";
    TImage water;
    ASSERT_TRUE(DecodeTgaImage(file, water));
    EXPECT_EQ(water.BitsPerPixel, 32);
    const int32_t w = water.Width;
    const int32_t h = water.Height;
    for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
        EXPECT_EQ(Pixel(water, x, y)[3], 0) << x << "," << y;
    const uint8_t* middle = Pixel(water, w / 2, h / 2);
    EXPECT_EQ(middle[3], 255);
    EXPECT_GT(middle[2], middle[0] + 40) << "blue water";
}

TEST_F(GameAssets, JumpPadIsASquareBitmap) {
    TImage pad;
    ASSERT_TRUE(DecodeBmpImage(Expand("jump.bm_", "jump.bmp"), pad));
    EXPECT_EQ(pad.Width, pad.Height);
    EXPECT_EQ(pad.BitsPerPixel, 24);
    // Hazard stripes around the edge: yellow and near-black pixels along the first row.
    int yellow = 0;
    int dark = 0;
    for (int32_t x = 0; x < pad.Width; ++x) {
        const uint8_t* p = Pixel(pad, x, 0);
        yellow += p[0] > 180 && p[1] > 140 && p[2] < 80;
        dark += p[0] < 60 && p[1] < 60 && p[2] < 60;
    }
    EXPECT_GT(yellow, pad.Width / 4);
    EXPECT_GT(dark, pad.Width / 4);
}

TEST_F(GameAssets, MusicIsAMinuteLongLoopWithoutASeam) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
    Mix_Chunk* chunk = Mix_LoadWAV((ResourcesDir + "music.mp3").c_str());
    ASSERT_NE(chunk, nullptr) << Mix_GetError();
    const auto* samples = reinterpret_cast<const int16_t*>(chunk->abuf);
    const size_t frames = chunk->alen / 4;
    const double seconds = static_cast<double>(frames) / 44100;
    EXPECT_GT(seconds, 50);
    EXPECT_LT(seconds, 80);

    auto loudness = [&](size_t first, size_t count) {
        double sum = 0;
        for (size_t i = first; i < first + count; ++i)
            sum += static_cast<double>(samples[2 * i]) * samples[2 * i];
        return std::sqrt(sum / count);
    };
    EXPECT_GT(loudness(0, frames), 1500) << "not silent";
    EXPECT_GT(loudness(0, 2048), 300) << "no gap of silence at the start";
    EXPECT_GT(loudness(frames - 2048, 2048), 300) << "nor at the end";

    // The step from the last frame to the first is an ordinary one within the tune.
    std::vector<int> steps;
    for (size_t i = 0; i + 1 < frames; i += 3)
        steps.push_back(std::abs(samples[2 * i + 2] - samples[2 * i]));
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 999 / 1000, steps.end());
    const int usual = steps[steps.size() * 999 / 1000];
    for (int channel = 0; channel < 2; ++channel)
        EXPECT_LE(std::abs(samples[channel] - samples[2 * (frames - 1) + channel]), usual)
            << "channel " << channel;
    Mix_FreeChunk(chunk);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
