// What text costs: reading a face name, building the 256 glyph lists (from the registered face
// and from the system's default), and drawing a line of text.
#include "engine/fonts.h"

#include "offscreen_gl.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

namespace {

const std::string ShippedFont = std::string(GAME_RUN_DIR) + "/Resources/font.ttf";

void BM_GetFontFaceName(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(GetFontFaceName(ShippedFont));
}
BENCHMARK(BM_GetFontFaceName)->Unit(benchmark::kMicrosecond);

void BM_BuildRegisteredFont(benchmark::State& state) {
    if (!EnsureContext(800, 600)) return state.SkipWithError("no OpenGL context");
    AddFontResourceExA(ShippedFont, FR_PRIVATE);
    for (auto _ : state) DeleteFontLists(BuildFontLists("DejaVu Sans", 12, 0, 700));
    RemoveFontResourceExA(ShippedFont, FR_PRIVATE);
}
BENCHMARK(BM_BuildRegisteredFont)->Unit(benchmark::kMillisecond);

void BM_BuildDefaultFont(benchmark::State& state) {
    if (!EnsureContext(800, 600)) return state.SkipWithError("no OpenGL context");
    for (auto _ : state) DeleteFontLists(BuildFontLists("", 12, 0, 700));
}
BENCHMARK(BM_BuildDefaultFont)->Unit(benchmark::kMillisecond);

// The score line as the interface draws it, finished so that the glyphs are really drawn.
void BM_RenderScoreLine(benchmark::State& state) {
    if (!EnsureContext(800, 600)) return state.SkipWithError("no OpenGL context");
    AddFontResourceExA(ShippedFont, FR_PRIVATE);
    uint32_t base = BuildFontLists("DejaVu Sans", 12, 0, 700);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 800, 600, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const std::string text = "Score: 1234567";
    for (auto _ : state) {
        RenderText(text, base, 20, 30);
        glFinish();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    DeleteFontLists(base);
    RemoveFontResourceExA(ShippedFont, FR_PRIVATE);
}
BENCHMARK(BM_RenderScoreLine)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
