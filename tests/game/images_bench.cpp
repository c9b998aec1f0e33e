// BMP and TGA decoding speed for a 2048 x 2048 picture, in bytes of decoded pixels a second.
#include "engine/images.h"
#include "image_writers.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int32_t Side = 2048;

// A picture with smooth areas and noise, so run-length packets of both kinds occur.
const RgbaImage& Picture() {
    static const RgbaImage image = [] {
        RgbaImage made = MakeImage(Side, Side);
        std::mt19937 generator(3);
        for (int32_t y = 0; y < Side; ++y)
            for (int32_t x = 0; x < Side; ++x) {
                uint8_t* p = PixelAt(made, x, y);
                const bool flat = (x / 64 + y / 64) % 2 == 0;
                p[0] = flat ? 40 : static_cast<uint8_t>(generator());
                p[1] = flat ? 90 : static_cast<uint8_t>(x);
                p[2] = flat ? 200 : static_cast<uint8_t>(y);
                p[3] = 255;
            }
        return made;
    }();
    return image;
}

void Decode(benchmark::State& state, const std::vector<uint8_t>& file, bool bitmap) {
    TImage image;
    for (auto _ : state) {
        const bool decoded = bitmap ? DecodeBmpImage(file, image) : DecodeTgaImage(file, image);
        benchmark::DoNotOptimize(decoded);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * image.Pixels.size());
}

void BM_DecodeBmp24(benchmark::State& state) {
    Decode(state, EncodeBmp(Picture()), true);
}
void BM_DecodeTga24Raw(benchmark::State& state) {
    Decode(state, EncodeTga(Picture(), 24, false), false);
}
void BM_DecodeTga32Raw(benchmark::State& state) {
    Decode(state, EncodeTga(Picture(), 32, false), false);
}
void BM_DecodeTga32RunLength(benchmark::State& state) {
    Decode(state, EncodeTga(Picture(), 32, true), false);
}

BENCHMARK(BM_DecodeBmp24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeTga24Raw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeTga32Raw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeTga32RunLength)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
