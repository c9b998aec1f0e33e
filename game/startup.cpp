// Start-up, frame loop and shutdown of the Game, in the order the log shows them.
#include "startup.h"

#include "modes.h"
#include "pacing.h"
#include "records.h"
#include "scene.h"
#include "sound/bass.h"
#include "vorm/vorm.h"

#include <GL/gl.h>
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

TScreenSettings ScreenSettings;
TParameterList Parameters;
uint32_t StartTick = 0;
TFileNameList ResourceFiles;
TResourceList Resources;

void RegisterResourceFiles() {
    // The models compile into the display lists 1 to 8; the music loops.
    ResourceFiles = {
        {"splash", "Resources\\ROLK.tg_", 0, 0, 0},
        {"font", "Resources\\font.ttf", 12, 0, 700},
        {"tuvobody", "Resources\\tuvobody.qm_", 1, 0, 0},
        {"tuvoeyes", "Resources\\tuvoeyes.qm_", 2, 0, 0},
        {"tuvokluv", "Resources\\tuvokluv.qm_", 3, 0, 0},
        {"tuvolegal", "Resources\\tuvolegal.qm_", 4, 0, 0},
        {"tuvolegas", "Resources\\tuvolegas.qm_", 5, 0, 0},
        {"tuvolegbl", "Resources\\tuvolegbl.qm_", 6, 0, 0},
        {"tuvolegbs", "Resources\\tuvolegbs.qm_", 7, 0, 0},
        {"music", "Resources\\music.mp3", static_cast<int32_t>(BASS_SAMPLE_LOOP), 0, 0},
        {"road", "Resources\\road.bm_", 0, 0, 0},
        {"tuvotail", "Resources\\tuvotail.qm_", 8, 0, 0},
        {"water", "Resources\\water.tg_", 0, 0, 0},
        {"jump", "Resources\\jump.bm_", 0, 0, 0},
    };
}

namespace {

// When the rules tick; "OneTickPerFrame" in Config.INI brings back one tick per loop iteration.
TTickPacing Pacing;

int64_t MonotonicMicroseconds() {
    auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
}

// "Log.TXT", or null when it could not be created; the program then runs without a log.
std::FILE* Log = nullptr;

// Writes at once, so the log shows how far a program got that stopped.
void LogText(const std::string& text) {
    if (!Log) return;
    std::fputs(text.c_str(), Log);
    std::fflush(Log);
}

void LogResult(bool ok) {
    LogText(ok ? "Ok.\n" : "Error!\n");
}

void OpenLog() {
    std::fputs("Redirecting output to file \"Log.TXT\"... ", stdout);
    std::fflush(stdout);
    Log = RewriteRegularFile("Log.TXT");
    if (!Log) {
        std::fputs("Error!\n", stderr);
        return;
    }
    std::fputs("\n", stdout);
    LogText("Output was redirected successfully.\n");
}

void CloseLog() {
    if (Log) std::fclose(Log);
    Log = nullptr;
}

int32_t IntegerSetting(const char* name, const char* defaultValue) {
    return TextToInt(GetParameterValue(name, Parameters, defaultValue));
}

void ReadScreenSettings() {
    ScreenSettings.Width = IntegerSetting("ScrWidth", "800");
    ScreenSettings.Height = IntegerSetting("ScrHeight", "600");
    ScreenSettings.ColorBits = IntegerSetting("ScrColorBits", "32");
    ScreenSettings.FullScreen = IntegerSetting("ScrFullScreen", "1") != 0;
    ScreenSettings.VirtualWidth = 800;
    ScreenSettings.VirtualHeight = 600;
    ScreenSettings.Frequency = 0;
}

std::string GLText(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

void LogOpenGL() {
    LogText("OpenGL " + GLText(GL_VERSION) + " by " + GLText(GL_VENDOR) + ". Renderer is " +
            GLText(GL_RENDERER) + ". Extensions: " + GLText(GL_EXTENSIONS) + "\n");
}

void StartSound() {
    LogText("Checking for BASS... ");
    bool loaded = IsBassLoaded();
    LogResult(loaded);
    if (!loaded) return;
    LogText("Initializing BASS... ");
    int32_t frequency = IntegerSetting("BASSFreq", "44100");
    int32_t device = IntegerSetting("BASSDevice", "1");
    SoundEnabled = BASS_Init(device, static_cast<uint32_t>(frequency), 0, nullptr, nullptr) != 0;
    LogResult(SoundEnabled);
}

void LoadGameResources() {
    RegisterResourceFiles();
    bool loaded = LoadResources(ResourceFiles, Resources, DrawLoadingScreen);
    LogText(loaded ? "Resources were loaded successfully.\n"
                   : "Some resources were loaded with errors or not loaded.\n");
    ResourceFiles.clear();
}

void StartMusic() {
    if (!SoundEnabled) return;
    int32_t music = FindResourceIndex("music", Resources);
    if (music >= 0) BASS_SamplePlay(Resources[music].Handle);
}

void RunFrames() {
    while (EngineRunning) RunFrame();
}

void StartVorms() {
    LogText("Initializing snakes... ");
    CreateVorms(ScreenSettings.VirtualWidth, ScreenSettings.VirtualHeight);
    LogResult(true);
}

void DeleteObjects() {
    LogText("Deleting all objects... ");
    FreeVorms();
    Obstacles.clear();
    LogResult(true);
}

void FreeGameResources() {
    LogText("Freeing resources... ");
    FreeResources(Resources);
    LogResult(true);
}

void StopSound() {
    if (!SoundEnabled) return;
    LogText("Freeing BASS... ");
    LogResult(BASS_Free() != 0);
}

} // namespace

void DrawLoadingScreen(int32_t resourceCount, int32_t, int32_t fileIndex) {
    // After a quit request the remaining files go by without a picture or a pause.
    if (QuitRequested()) return;
    TScreenSettings screen = GetScreenSettings();
    float w = static_cast<float>(screen.VirtualWidth);
    float h = static_cast<float>(screen.VirtualHeight);
    BeginFrame();
    SetProjection(false);

    // Before any resource loaded the bar is empty rather than a quotient of nothing.
    float progress =
        resourceCount > 0 ? static_cast<float>(fileIndex) / static_cast<float>(resourceCount) : 0;
    float left = w / 4, right = 3 * w / 4, filled = w / 4 + progress * w / 2;
    float top = h / 2 - h / 32, bottom = h / 2 + h / 32;
    glColor3f(0, 1, 0);
    glBegin(GL_QUADS);
    glVertex2f(left, top);
    glVertex2f(filled, top);
    glVertex2f(filled, bottom);
    glVertex2f(left, bottom);
    glEnd();

    glColor3f(1, 1, 1);
    glBegin(GL_LINES);
    glVertex2f(left, top);
    glVertex2f(right, top);
    glVertex2f(right, top);
    glVertex2f(right, bottom);
    glVertex2f(right, bottom);
    glVertex2f(left, bottom);
    glVertex2f(left, bottom);
    glVertex2f(left, top);
    glEnd();

    EndFrame();
    SDL_Delay(100);
}

void RunFrame() {
    int32_t ticks = TakeDueTicks(Pacing, MonotonicMicroseconds());
    // The keys are read before each tick, and once even when no tick is due yet.
    ProcessMessages();
    for (int32_t tick = 0; tick < ticks; ++tick) {
        if (tick > 0) ProcessMessages();
        UpdateGame();
    }
    RenderScene();
    int64_t sleep = SleepBeforeNextTick(Pacing, MonotonicMicroseconds());
    std::this_thread::sleep_for(std::chrono::microseconds(sleep));
}

int RunGame() {
    CatchQuitSignals();
    OpenLog();
    LogText("Loading config from file \"Config.INI\"... ");
    LogResult(LoadParameterList("Config.INI", Parameters));
    ReadScreenSettings();
    BestScoresFile = "Scores.TXT";
    BestScores = ReadBestScores(BestScoresFile);
    Pacing = {IntegerSetting("OneTickPerFrame", "0") != 0};

    LogText("Initializing engine... ");
    bool started = InitEngine("Game", ScreenSettings);
    LogResult(started);
    if (started) {
        ScreenSettings = GetScreenSettings();
        LogOpenGL();
        StartSound();
        LoadGameResources();
        StartMusic();
        StartVorms();
        SetProjection(false);
        StartTick = GetTickCount();
        RunFrames();
        KeepScore();
        DeleteObjects();
        FreeGameResources();
        StopSound();
    }

    LogText("Clearing parameters list... ");
    Parameters.clear();
    LogResult(true);
    CloseLog();
    // The log keeps its own account; a player who started the game from a terminal or a launcher
    // learns why nothing opened from standard error and the exit status.
    if (started) return 0;
    std::fprintf(stderr, "Game: cannot start: %s\n", StartFailureText().c_str());
    return 1;
}
