// replay_animation FOLDER LEVEL REPLAY OUTDIR: plays the replay on level LEVEL (maps/mapLEVEL.map
// under FOLDER) through the game's rules and draws every step with the game's own playfield
// drawing into the engine's 800 x 600 frame, writing frame0000.png, frame0001.png, ... to OUTDIR
// up to the step before the exit. Run it with SDL_VIDEODRIVER=offscreen for no window.
#include "engine.h"
#include "game.h"
#include "level_play.h"
#include "map.h"

#include <GL/gl.h>
#include <png.h>

#include <cstdio>
#include <filesystem>

namespace {

// The frame as a PNG; OpenGL hands its rows bottom first, which a negative row stride tells
// libpng.
bool WriteFrame(const std::string& path) {
    std::vector<uint8_t> pixels(800 * 600 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = 800;
    png.height = 600;
    png.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&png, path.c_str(), 0, pixels.data(), -800 * 3, nullptr) != 0;
}

// Plays and draws; the count of frames written, or -1 when one cannot be written.
int32_t DrawReplay(const Replay& replay, const std::string& outDir) {
    int32_t frames = 0;
    for (uint8_t up : replay) {
        if (PlayStep(up != 0).ExitReached) break;
        RenderProc();
        char name[32];
        std::snprintf(name, sizeof name, "/frame%04d.png", frames++);
        if (!WriteFrame(outDir + name)) return -1;
    }
    return frames;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: replay_animation FOLDER LEVEL REPLAY OUTDIR\n");
        return 2;
    }
    Replay replay;
    uint32_t check = 0;
    bool hasCheck = false;
    std::string error;
    if (!ReadReplay(argv[3], replay, check, hasCheck, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const std::string outDir = std::filesystem::absolute(argv[4]).string();
    std::error_code ignored;
    std::filesystem::current_path(argv[1], ignored);
    if (!BindEngine((std::filesystem::temp_directory_path() / "replay_animation.log").c_str()) ||
        !Window->SetMode(false, 800, 600, 32, 0)) {
        std::fprintf(stderr, "the engine cannot open its frame\n");
        return 1;
    }
    GameInit();
    // The engine draws; the headless pair stands in for its clock and keys while the replay runs.
    IEngine* const engine = Engine;
    IEngineInput* const input = Input;
    StartHeadlessPlay();
    int32_t frames = -1;
    if (StartLevel(std::atoi(argv[2]))) frames = DrawReplay(replay, outDir);
    ResetLevel();
    Engine = engine;
    Input = input;
    ReleaseEngine();
    if (frames < 0) {
        std::fprintf(stderr, "the level cannot be loaded or a frame cannot be written to %s\n",
                     outDir.c_str());
        return 1;
    }
    std::printf("%d frames in %s\n", frames, outDir.c_str());
    return 0;
}
