// What the creature costs: reading a model file, compiling it into a list, and drawing all eight
// parts as one frame does.
#include "engine/models.h"

#include "offscreen_gl.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

namespace {

const char* const Parts[] = {"tuvobody",  "tuvoeyes",  "tuvokluv",  "tuvolegal",
                             "tuvolegas", "tuvolegbl", "tuvolegbs", "tuvotail"};

std::string PartPath(const char* part) {
    return std::string(TOOLS_DIR) + "/game_assets/models/" + part + ".qmf";
}

void BM_ParseBody(benchmark::State& state) {
    std::ifstream file(PartPath("tuvobody"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), {});
    std::string name;
    std::vector<TModelVertex> vertices;
    for (auto _ : state) {
        ParseModel(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), name, vertices);
        benchmark::DoNotOptimize(vertices.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
    state.counters["vertices"] = double(vertices.size());
}
BENCHMARK(BM_ParseBody);

void BM_LoadBody(benchmark::State& state) {
    if (!EnsureContext(400, 300)) return state.SkipWithError("no OpenGL context");
    TModelInfo info{1, "", ""};
    for (auto _ : state) benchmark::DoNotOptimize(LoadModel(PartPath("tuvobody"), info));
    glFinish();
}
BENCHMARK(BM_LoadBody)->Unit(benchmark::kMicrosecond);

void BM_LoadAllEightParts(benchmark::State& state) {
    if (!EnsureContext(400, 300)) return state.SkipWithError("no OpenGL context");
    for (auto _ : state)
        for (GLuint list = 1; list <= 8; ++list) {
            TModelInfo info{list, "", ""};
            benchmark::DoNotOptimize(LoadModel(PartPath(Parts[list - 1]), info));
        }
    glFinish();
}
BENCHMARK(BM_LoadAllEightParts)->Unit(benchmark::kMicrosecond);

// The eight lists drawn into a 400 by 300 frame and finished, as the scene draws the creature.
void BM_DrawCreature(benchmark::State& state) {
    if (!EnsureContext(400, 300)) return state.SkipWithError("no OpenGL context");
    for (GLuint list = 1; list <= 8; ++list) {
        TModelInfo info{list, "", ""};
        LoadModel(PartPath(Parts[list - 1]), info);
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.055, 0.055, -0.041, 0.041, 0.1, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -50);
    glRotatef(180, 0, 0, 1);
    glRotatef(45, 1, 0, 0);
    glEnable(GL_DEPTH_TEST);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (GLuint list = 1; list <= 8; ++list) {
            glBegin(GL_TRIANGLES);
            glCallList(list);
            glEnd();
        }
        glFinish();
    }
}
BENCHMARK(BM_DrawCreature)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
