// Expansion throughput of a 16 MiB compressed file: the Game's pipeline (libmspack) against
// Debian's msexpand in the same run, and their ratio.
#include "file_bytes.h"
#include "resources.h"
#include "run_program.h"
#include "szdd.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

constexpr size_t FileSize = 16 << 20;

struct Fixture {
    std::string Dir;
    std::string Compressed;
};

// Half text with repeats, half noise, compressed once for all runs.
const Fixture& Files() {
    static const Fixture fixture = [] {
        Fixture made{MakeScratchDir("expand-bench"), ""};
        std::mt19937 generator(1);
        std::vector<uint8_t> data;
        static const char* Words[] = {"road ", "water ", "jump ", "\r\n", "score 123 "};
        while (data.size() < FileSize / 2) {
            const std::string word = Words[generator() % std::size(Words)];
            data.insert(data.end(), word.begin(), word.end());
        }
        while (data.size() < FileSize) data.push_back(static_cast<uint8_t>(generator()));
        made.Compressed = made.Dir + "/data.bi_";
        WriteFileBytes(made.Compressed, CompressSzdd(data, 'n'));
        return made;
    }();
    return fixture;
}

double PipelineSeconds = 0;
double MsexpandSeconds = 0;

void Record(benchmark::State& state, double& best, std::chrono::steady_clock::duration elapsed) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    state.SetIterationTime(seconds);
    if (best == 0 || seconds < best) best = seconds;
}

void BM_ExpandPipeline(benchmark::State& state) {
    const Fixture& files = Files();
    const std::string output = files.Dir + "/pipeline.bin";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(ExpandCompressedFile(files.Compressed, output));
        Record(state, PipelineSeconds, std::chrono::steady_clock::now() - start);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FileSize);
}

void BM_ExpandMsexpand(benchmark::State& state) {
    const Fixture& files = Files();
    const std::string command =
        "msexpand < '" + files.Compressed + "' > '" + files.Dir + "/msexpand.bin'";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(std::system(command.c_str()));
        Record(state, MsexpandSeconds, std::chrono::steady_clock::now() - start);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FileSize);
}

BENCHMARK(BM_ExpandPipeline)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ExpandMsexpand)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (PipelineSeconds > 0 && MsexpandSeconds > 0) {
        const double megabytes = static_cast<double>(FileSize) / (1 << 20);
        std::printf("16 MiB expansion, best runs: pipeline %.1f MiB/s, msexpand %.1f MiB/s, "
                    "pipeline is %.2f times as fast\n",
                    megabytes / PipelineSeconds, megabytes / MsexpandSeconds,
                    MsexpandSeconds / PipelineSeconds);
    }
    std::filesystem::remove_all(Files().Dir);
    return 0;
}
