// BMP and TGA decoding speed for a 2048 x 2048 picture, in bytes of decoded pixels a second.
#include "engine/images.h"
#include "game_support.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int32_t Side = 2048;

const RgbaImage& Picture() {
    static const RgbaImage image = TestPicture(Side, Side);
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
