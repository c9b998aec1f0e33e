// Expansion throughput of a 16 MiB compressed file: the Game's pipeline (libmspack on buffered
// files of its own) against bare libmspack (its default file calls) in the same run, and their
// ratio.
#include "file_bytes.h"
#include "resources.h"
#include "run_program.h"
#include "szdd.h"

#include <benchmark/benchmark.h>
#include <mspack.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

namespace {

constexpr size_t FileSize = 16 << 20;

struct Fixture {
    std::string Dir;
    std::string Compressed;
};

// Text of repeated words, compressed once for all runs.
const Fixture& Files() {
    static const Fixture fixture = [] {
        Fixture made{MakeScratchDir("expand-bench"), ""};
        std::mt19937 generator(1);
        std::vector<uint8_t> data;
        static const char* Words[] = {"road ", "water ", "jump ", "\r\n", "score 123 "};
        while (data.size() < FileSize) {
            const std::string word = Words[generator() % std::size(Words)];
            data.insert(data.end(), word.begin(), word.end());
        }
        data.resize(FileSize);
        made.Compressed = made.Dir + "/data.bi_";
        WriteFileBytes(made.Compressed, CompressSzdd(data, 'n'));
        return made;
    }();
    return fixture;
}

// libmspack with its default file calls, as the pipeline would use it without its own.
bool ExpandWithBareLibmspack(const std::string& compressed, const std::string& output) {
    msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(nullptr);
    bool expanded = false;
    if (msszddd_header* header = decompressor->open(decompressor, compressed.c_str())) {
        expanded = decompressor->extract(decompressor, header, output.c_str()) == MSPACK_ERR_OK;
        decompressor->close(decompressor, header);
    }
    mspack_destroy_szdd_decompressor(decompressor);
    return expanded;
}

double PipelineSeconds = 0;
double BareSeconds = 0;

// On a busy machine the CPU column tells each expander's own cost.
void BM_Expand(benchmark::State& state, bool (*expand)(const std::string&, const std::string&),
               double* best) {
    const Fixture& files = Files();
    const std::string output = files.Dir + "/expanded.bin";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(expand(files.Compressed, output));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        if (*best == 0 || seconds < *best) *best = seconds;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FileSize);
}

BENCHMARK_CAPTURE(BM_Expand, Pipeline, ExpandCompressedFile, &PipelineSeconds)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);
BENCHMARK_CAPTURE(BM_Expand, BareLibmspack, ExpandWithBareLibmspack, &BareSeconds)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (PipelineSeconds > 0 && BareSeconds > 0) {
        const double megabytes = static_cast<double>(FileSize) / (1 << 20);
        std::printf("16 MiB text expansion, best runs: pipeline %.1f MiB/s, bare libmspack %.1f "
                    "MiB/s, pipeline is %.2f times as fast\n",
                    megabytes / PipelineSeconds, megabytes / BareSeconds,
                    BareSeconds / PipelineSeconds);
    }
    std::filesystem::remove_all(Files().Dir);
    return 0;
}
