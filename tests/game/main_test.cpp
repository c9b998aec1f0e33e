// The real Game started headless from a copy of its run folder, read back line by line from
// "Log.TXT": with and without the sound library, without a configuration, with a window that
// cannot be made and with a log that cannot be written.
#include "run_program.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;

namespace {

const std::string Windowed = "ScrWidth=640\nScrHeight=480\nScrFullScreen=0\n";

struct GameRun {
    ProgramRun Run;
    std::vector<std::string> Log;
    long Milliseconds = 0;
};

struct GameSetup {
    std::optional<std::string> Config = Windowed; // none: no Config.INI at all
    bool WithSoundLibrary = true;
    std::vector<std::string> Environment;
    bool LogIsAFolder = false;
    size_t QuitAtLogLines = 0; // not 0: the quit request goes once "Log.TXT" has this many lines
    std::string Pipe;          // a named pipe stands in the folder under this name
};

GameSetup WithConfig(std::optional<std::string> config) {
    GameSetup setup;
    setup.Config = std::move(config);
    return setup;
}

// Runs the game for `runMs` (then asks it to quit) in a scratch copy of the run folder.
GameRun RunGame(const GameSetup& setup, int runMs = 1500) {
    std::string folder = MakeScratchDir("game");
    CopyFolder(GAME_RUN_DIR, folder);
    fs::remove(folder + "/Config.INI");
    if (setup.Config) std::ofstream(folder + "/Config.INI") << *setup.Config;
    if (!setup.WithSoundLibrary) fs::remove(folder + "/libbass.so");
    if (setup.LogIsAFolder)
        fs::create_directory(folder + "/Log.TXT");
    else
        std::ofstream(folder + "/Log.TXT") << "a line from an earlier run that is longer\n";
    if (!setup.Pipe.empty()) {
        fs::remove(folder + "/" + setup.Pipe);
        EXPECT_EQ(mkfifo((folder + "/" + setup.Pipe).c_str(), 0644), 0);
    }

    std::vector<std::string> environment = setup.Environment;
    environment.push_back("ASAN_OPTIONS=detect_leaks=0"); // the GL driver's leaks are not ours
    auto start = std::chrono::steady_clock::now();
    GameRun run;
    auto logReached = [&] { return ReadLines(folder + "/Log.TXT").size() >= setup.QuitAtLogLines; };
    run.Run = RunProgramUntil(folder + "/Game", folder, environment,
                              setup.QuitAtLogLines ? logReached : std::function<bool()>(), runMs);
    run.Milliseconds = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                             std::chrono::steady_clock::now() - start)
                                             .count());
    if (fs::is_regular_file(folder + "/Log.TXT")) run.Log = ReadLines(folder + "/Log.TXT");
    fs::remove_all(folder);
    return run;
}

const std::string Redirected = "Output was redirected successfully.";
const std::string ConfigOk = "Loading config from file \"Config.INI\"... Ok.";
const std::string ConfigError = "Loading config from file \"Config.INI\"... Error!";
const std::string EngineOk = "Initializing engine... Ok.";
const std::string EngineError = "Initializing engine... Error!";
const std::string BassFound = "Checking for BASS... Ok.";
const std::string BassMissing = "Checking for BASS... Error!";
const std::string BassStarted = "Initializing BASS... Ok.";
const std::string BassNotStarted = "Initializing BASS... Error!";
const std::string BassFreed = "Freeing BASS... Ok.";
const std::string SnakesMade = "Initializing snakes... Ok.";
const std::string ObjectsDeleted = "Deleting all objects... Ok.";
const std::string ResourcesFreed = "Freeing resources... Ok.";
const std::string Cleared = "Clearing parameters list... Ok.";

void ExpectOpenGLLine(const std::string& line) {
    EXPECT_EQ(line.rfind("OpenGL ", 0), 0u) << line;
    size_t by = line.find(" by ");
    size_t renderer = line.find(". Renderer is ");
    size_t extensions = line.find(". Extensions: ");
    SCOPED_TRACE(line.substr(0, 200));
    EXPECT_LT(by, renderer);
    EXPECT_LT(renderer, extensions);
    EXPECT_NE(extensions, std::string::npos);
}

// Either summary of the resource loading; which one depends on the files and on sound.
void ExpectResourceSummary(const std::string& line) {
    EXPECT_TRUE(line == "Resources were loaded successfully." ||
                line == "Some resources were loaded with errors or not loaded.")
        << line;
}

void ExpectCleanEnd(const GameRun& run) {
    EXPECT_FALSE(run.Run.TimedOut);
    EXPECT_EQ(run.Run.ExitCode, 0) << run.Run.Stderr;
}

} // namespace

TEST(GameProgram, RunsWithSoundUntilAskedToQuitAndLogsEveryStep) {
    GameRun run = RunGame(GameSetup{});
    ExpectCleanEnd(run);
    EXPECT_GE(run.Milliseconds, 1500); // the loop ran until the quit request
    ASSERT_EQ(run.Log.size(), 12u);
    EXPECT_EQ(run.Log[0], Redirected);
    EXPECT_EQ(run.Log[1], ConfigOk);
    EXPECT_EQ(run.Log[2], EngineOk);
    ExpectOpenGLLine(run.Log[3]);
    EXPECT_EQ(run.Log[4], BassFound);
    EXPECT_EQ(run.Log[5], BassStarted);
    ExpectResourceSummary(run.Log[6]);
    EXPECT_EQ(run.Log[7], SnakesMade);
    EXPECT_EQ(run.Log[8], ObjectsDeleted);
    EXPECT_EQ(run.Log[9], ResourcesFreed);
    EXPECT_EQ(run.Log[10], BassFreed);
    EXPECT_EQ(run.Log[11], Cleared);
    EXPECT_EQ(run.Run.Stdout, "Redirecting output to file \"Log.TXT\"... \n");
}

TEST(GameProgram, WithoutTheSoundLibraryHasNoSoundSteps) {
    GameSetup setup;
    setup.WithSoundLibrary = false;
    GameRun run = RunGame(setup);
    ExpectCleanEnd(run);
    ASSERT_EQ(run.Log.size(), 10u);
    EXPECT_EQ(run.Log[2], EngineOk);
    EXPECT_EQ(run.Log[4], BassMissing);
    EXPECT_EQ(run.Log[5], "Some resources were loaded with errors or not loaded."); // no music
    EXPECT_EQ(run.Log[6], SnakesMade);
    EXPECT_EQ(run.Log[7], ObjectsDeleted);
    EXPECT_EQ(run.Log[8], ResourcesFreed);
    EXPECT_EQ(run.Log[9], Cleared);
}

TEST(GameProgram, ASoundStartThatFailsIsNotFreed) {
    GameRun run = RunGame(WithConfig(Windowed + "BASSDevice=0\n"));
    ExpectCleanEnd(run);
    ASSERT_EQ(run.Log.size(), 11u);
    EXPECT_EQ(run.Log[4], BassFound);
    EXPECT_EQ(run.Log[5], BassNotStarted);
    ExpectResourceSummary(run.Log[6]);
    EXPECT_EQ(run.Log[7], SnakesMade);
    EXPECT_EQ(run.Log[8], ObjectsDeleted);
    EXPECT_EQ(run.Log[9], ResourcesFreed);
    EXPECT_EQ(run.Log[10], Cleared);
}

// Without Config.INI every default holds: full screen at 800 by 600, which the offscreen display
// grants.
TEST(GameProgram, WithoutAConfigurationStartsOnTheDefaults) {
    GameRun run = RunGame(WithConfig(std::nullopt), 1000);
    ExpectCleanEnd(run);
    ASSERT_EQ(run.Log.size(), 12u);
    EXPECT_EQ(run.Log[1], ConfigError);
    EXPECT_EQ(run.Log[2], EngineOk);
    EXPECT_EQ(run.Log[11], Cleared);
}

// The log says only "Error!"; standard error names the cause in one line and the status is 1.
TEST(GameProgram, AWindowThatCannotBeMadeEndsAfterClearingTheParameters) {
    GameSetup noVideo;
    noVideo.Environment = {"SDL_VIDEODRIVER=none"};
    std::vector<std::pair<GameSetup, std::string>> setups = {
        {WithConfig("ScrWidth=0\nScrFullScreen=0\n"), "the window size 0x600 is not a size"},
        {WithConfig("ScrHeight=100000\nScrFullScreen=0\n"), "cannot open the window"},
        {WithConfig("ScrWidth=-640\n"), "the window size -640x600 is not a size"},
        {noVideo, "no video display"}};
    for (const auto& [setup, cause] : setups) {
        GameRun run = RunGame(setup, 10000);
        EXPECT_FALSE(run.Run.TimedOut);
        EXPECT_EQ(run.Run.ExitCode, 1);
        EXPECT_LT(run.Milliseconds, 10000); // it ended by itself
        EXPECT_EQ(run.Log, (std::vector<std::string>{Redirected, ConfigOk, EngineError, Cleared}))
            << setup.Config.value_or("") << run.Run.Stderr;
        EXPECT_EQ(run.Run.Stderr.rfind("Game: cannot start: ", 0), 0u) << run.Run.Stderr;
        EXPECT_NE(run.Run.Stderr.find(cause), std::string::npos) << run.Run.Stderr;
    }
}

TEST(GameProgram, RunsWithoutALogWhenItCannotBeCreated) {
    GameSetup setup;
    setup.LogIsAFolder = true;
    GameRun run = RunGame(setup, 1000);
    ExpectCleanEnd(run);
    EXPECT_GE(run.Milliseconds, 1000);
    EXPECT_EQ(run.Run.Stdout, "Redirecting output to file \"Log.TXT\"... ");
    EXPECT_EQ(run.Run.Stderr.rfind("Error!\n", 0), 0u) << run.Run.Stderr;
}

// A named pipe as Config.INI or Log.TXT would block the start: each counts as unreadable at once.
TEST(GameProgram, ANamedPipeAsConfigurationOrLogIsRefusedAtOnce) {
    for (const std::string name : {"Config.INI", "Log.TXT"}) {
        GameSetup setup;
        setup.Pipe = name;
        GameRun run = RunGame(setup, 1000);
        ExpectCleanEnd(run);
        const bool logged = name == "Config.INI";
        ASSERT_EQ(run.Log.empty(), !logged);
        if (logged) {
            ASSERT_GT(run.Log.size(), 1u);
            EXPECT_EQ(run.Log[1], ConfigError);
        }
    }
}

// A quit request before the window, while it opens and during the loading bar: the start-up
// finishes, no frame loop runs, and every shutdown step is logged.
TEST(GameProgram, AQuitRequestAtAnyMomentOfTheStartEndsWithTheWholeLog) {
    for (size_t lines : {2, 3, 6}) {
        GameSetup setup;
        setup.QuitAtLogLines = lines;
        GameRun run = RunGame(setup, 20000);
        ExpectCleanEnd(run);
        ASSERT_EQ(run.Log.size(), 12u) << "quit at line " << lines;
        ExpectResourceSummary(run.Log[6]);
        EXPECT_EQ(run.Log[11], Cleared);
    }
}
