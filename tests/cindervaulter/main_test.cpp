// The program as shipped: started headless from a copy of its ready-to-run folder.
#include "run_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The dynamic symbols the file defines, as nm lists them (names may hold line breaks).
std::string DefinedDynamicSymbols(const std::string& file) {
    std::string listing;
    FILE* nm = popen(("nm -D --defined-only '" + file + "'").c_str(), "r");
    if (!nm) return listing;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof(buffer), nm)) > 0;)
        listing.append(buffer, got);
    pclose(nm);
    return listing;
}

TEST(Program, StartsHeadlessShowsFramesAndEndsOnQuit) {
    std::string dir = MakeScratchDir("cindervaulter");
    CopyFolder(CINDERVAULTER_RUN_DIR, dir);
    EXPECT_TRUE(fs::is_directory(dir + "/maps"));
    // Mesa unloads its driver at exit, so the sanitizer build sees its leaks without stacks.
    ProgramRun run = RunProgram(dir + "/Cindervaulter", dir, {"ASAN_OPTIONS=detect_leaks=0"}, 5000);
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr;
    EXPECT_FALSE(run.TimedOut);

    std::vector<std::string> log = ReadLines(dir + "/log.txt");
    ASSERT_GE(log.size(), 6u);
    EXPECT_EQ(log.front(), "Engine started");
    EXPECT_TRUE(HasLineStartingWith(log, "OpenGL: "));
    EXPECT_TRUE(HasLineStartingWith(log, "Mode: full screen 1024x768, frame 800x600"));
    EXPECT_TRUE(HasLineStartingWith(log, "Texture \"BackTex\" 32x32"));
    EXPECT_TRUE(HasLineStartingWith(log, "Font \"Arial\" 12: Liberation Sans"));
    EXPECT_TRUE(HasLineStartingWith(log, "Run: 30 steps a second"));
    EXPECT_TRUE(HasLineStartingWith(log, "First frame shown at 0,0 size 1024x768"));
    EXPECT_TRUE(HasLineStartingWith(log, "Run ended: "));
    EXPECT_EQ(log.back(), "Engine shut down");
    EXPECT_FALSE(HasLineStartingWith(log, "Error")) << "no engine call went wrong";
    fs::remove_all(dir);
}

// A quit request as the engine starts, while the window opens and as the loop starts ends the
// program with the engine's whole log.
TEST(Program, AQuitRequestAtAnyMomentOfTheStartEndsWithTheWholeLog) {
    for (size_t lines : {1, 2, 8}) {
        std::string dir = MakeScratchDir("cindervaulter");
        CopyFolder(CINDERVAULTER_RUN_DIR, dir);
        auto logReached = [&] { return ReadLines(dir + "/log.txt").size() >= lines; };
        ProgramRun run = RunProgramUntil(dir + "/Cindervaulter", dir,
                                         {"ASAN_OPTIONS=detect_leaks=0"}, logReached, 20000);
        EXPECT_EQ(run.ExitCode, 0) << "quit at line " << lines << run.Stderr;
        std::vector<std::string> log = ReadLines(dir + "/log.txt");
        ASSERT_GE(log.size(), 2u);
        EXPECT_EQ(log[log.size() - 2].rfind("Run ended: ", 0), 0u) << log[log.size() - 2];
        EXPECT_EQ(log.back(), "Engine shut down");
        fs::remove_all(dir);
    }
}

TEST(Program, ExportsTheCreditUnderItsTextAlone) {
    std::string symbols = DefinedDynamicSymbols(CINDERVAULTER_RUN_DIR "/Cindervaulter");
    EXPECT_NE(symbols.find(" T \r\n\r\n<<< Based on eXgine >>>\r\n\r\n\n"), std::string::npos)
        << symbols;
    EXPECT_EQ(symbols.find("CreditEntry"), std::string::npos) << "exported under the credit only";
    std::string engine = DefinedDynamicSymbols(CINDERVAULTER_RUN_DIR "/libexgine.so");
    EXPECT_EQ(std::count(engine.begin(), engine.end(), '\n'), 1) << engine;
    EXPECT_NE(engine.find(" T exInit\n"), std::string::npos) << "the engine exports exInit alone";
}

} // namespace
