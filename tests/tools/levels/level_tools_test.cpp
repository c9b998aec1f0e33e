// The level tools: replay files read and written, refused with file, line and reason; and a level
// whose exit is sealed off fails the runner and makes the solver give up in its budget.
#include "level_play.h"
#include "map_files.h"
#include "run_program.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

TEST(LevelTools, ReplaysReadBackAsWrittenAndBrokenOnesAreRefusedWithFileLineAndReason) {
    const Replay written{1, 1, 1, 0, 1, 0, 0};
    Replay replay;
    uint32_t check = 0;
    bool hasCheck = false;
    std::string error;
    ASSERT_TRUE(
        ParseReplay(FormatReplay(written, "# a\n", 0xC0FFEE), "r", replay, check, hasCheck, error));
    EXPECT_EQ(replay, written);
    EXPECT_TRUE(hasCheck);
    EXPECT_EQ(check, 0xC0FFEE);
    EXPECT_EQ(CountPresses(replay), 2);
    const std::pair<std::string, std::string> cases[] = {
        {"up 3\nhold 2\n", "r:2: unknown keyword 'hold'"},
        {"# c\noff 0\n", "r:2: '0' is not a step count from 1 to 1000000"},
        {"up 2x\n", "r:1: '2x' is not a step count from 1 to 1000000"},
        {"up\n", "r:1: up takes one value"},
        {"up 1 2\n", "r:1: up takes one value"},
        {"up 1\ncheck 12345\n", "r:2: check takes 8 hex digits, not '12345'"},
        {"up 1\ncheck 0000000g\n", "r:2: check takes 8 hex digits, not '0000000g'"},
        {"up 1\ncheck 00000000\n\noff 1\n", "r:4: nothing may follow the check line"},
        {"# nothing\n", "r: no steps"},
        {"up 1\ncheck -165acf8\n", "r:2: check takes 8 hex digits, not '-165acf8'"},
        {"up 1\ncheck 0x165acf\n", "r:2: check takes 8 hex digits, not '0x165acf'"},
        {"up +5\n", "r:1: '+5' is not a step count from 1 to 1000000"},
        {std::string("off 2\nup 4\0 8\n", 14), "r:2: a NUL byte is not replay text"},
    };
    for (const auto& [text, message] : cases) {
        EXPECT_FALSE(ParseReplay(text, "r", replay, check, hasCheck, error)) << text;
        EXPECT_EQ(error, message);
    }
    EXPECT_FALSE(ReadReplay("/nonexistent/r", replay, check, hasCheck, error));
    EXPECT_EQ(error, "/nonexistent/r: cannot be read");
}

TEST(LevelTools, ASealedExitFailsTheRunnerAndTheSolverGivesUpWithinItsBudget) {
    const std::string dir = MakeScratchDir("levels");
    std::filesystem::create_directory(dir + "/maps");
    // One pickup in the open; the exit beyond the arena's right wall, which the walls and the
    // world's bounds keep every part of the body away from. (Thin walls inside the arena are no
    // seal: a body thrusting hard enough is pushed back less than it moves and passes them.)
    const std::vector<int32_t> map{10, 0, 1, 100, 300, 520, 100, 100, 150, 0};
    WriteMapFile(dir + "/maps/map1.map", map);
    std::ofstream(dir + "/up.replay") << "up 20\noff 10\nup 150\n";
    const ProgramRun run = RunProgram(TOOLS_DIR "/levels/replay_runner", dir, {}, 60000, 1000,
                                      {".", "1", "up.replay"});
    ASSERT_EQ(run.ExitCode, 1) << run.Stdout << run.Stderr;
    EXPECT_NE(run.Stdout.find("map1.map: replay ended after 180 steps with 1/1 pickups, exit not "
                              "reached"),
              std::string::npos)
        << run.Stdout;
    const ProgramRun solve = RunProgram(TOOLS_DIR "/levels/level_solver", dir, {}, 60000, 1000,
                                        {".", "1", "found.replay", "3000", "100"});
    ASSERT_EQ(solve.ExitCode, 1) << solve.Stdout << solve.Stderr;
    EXPECT_NE(solve.Stdout.find("map1.map: gave up after 3000 states expanded"), std::string::npos)
        << solve.Stdout;
    EXPECT_NE(solve.Stdout.find("no way to the exit found (at best 1/1 pickups)"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir + "/found.replay"));
}

TEST(LevelTools, TheRunnerRefusesAMissingOrBrokenReplayWithFileLineAndReason) {
    const std::string dir = MakeScratchDir("levels");
    std::ofstream(dir + "/bad.replay") << "up 5\noff -1\n";
    for (const auto& [file, message] :
         {std::pair{std::string("bad.replay"), "bad.replay:2: '-1' is not a step count"},
          {"gone.replay", "gone.replay: cannot be read"}}) {
        const ProgramRun run =
            RunProgram(TOOLS_DIR "/levels/replay_runner", dir, {}, 60000, 1000, {".", "1", file});
        EXPECT_EQ(run.ExitCode, 1);
        EXPECT_NE(run.Stderr.find(message), std::string::npos) << run.Stderr;
    }
}

// A named pipe held the tools for ever and /dev/zero grew them without end; a folder that could
// not be entered was played as the working one.
TEST(LevelTools, TheToolsReadOnlyBoundedRegularFilesAndFailOnAFolderTheyCannotEnter) {
    const std::string dir = MakeScratchDir("levels");
    ASSERT_EQ(mkfifo((dir + "/pipe").c_str(), 0600), 0);
    std::ofstream(dir + "/empty.replay").flush();
    std::ofstream(dir + "/up.replay") << "up 5\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"map_compiler", "pipe", "out.map"}, "pipe: cannot be read"},
        {{"map_compiler", "/dev/zero", "out.map"}, "/dev/zero: cannot be read"},
        {{"replay_runner", ".", "1", "pipe"}, "pipe: cannot be read"},
        {{"replay_runner", ".", "1", "/dev/zero"}, "/dev/zero: cannot be read"},
        {{"replay_runner", ".", "1", "empty.replay"}, "empty.replay: no steps"},
        {{"replay_runner", "gone", "1", "up.replay"}, "gone: cannot be entered"},
    };
    for (const auto& [command, message] : cases) {
        const std::vector<std::string> arguments(command.begin() + 1, command.end());
        const ProgramRun run =
            RunProgram(TOOLS_DIR "/levels/" + command[0], dir, {}, 10000, 1000, arguments);
        EXPECT_FALSE(run.TimedOut) << command[0] << " " << arguments.back();
        EXPECT_EQ(run.ExitCode, 1) << command[0] << " " << arguments.back();
        EXPECT_NE(run.Stderr.find(message), std::string::npos) << run.Stderr;
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/out.map"));
    std::filesystem::remove_all(dir);
}

TEST(LevelTools, TheSolverFindsTheShippedReplayOfLevelTwo) {
    const std::string dir = MakeScratchDir("levels");
    const ProgramRun solve = RunProgram(TOOLS_DIR "/levels/level_solver", dir, {}, 120000, 1000,
                                        {CINDERVAULTER_RUN_DIR, "2", dir + "/found.replay"});
    ASSERT_EQ(solve.ExitCode, 0) << solve.Stdout << solve.Stderr;
    auto steps = [](const std::string& path) {
        std::string kept;
        for (const std::string& line : ReadLines(path))
            if (line.rfind('#', 0) != 0) kept += line + "\n";
        return kept;
    };
    EXPECT_EQ(steps(dir + "/found.replay"), steps(LEVELS_DIR "/map2.replay"));
}

TEST(LevelTools, TheCompilerWritesTheNameBesideTheMapAndNoneForASourceWithout) {
    const std::string dir = MakeScratchDir("levels");
    std::ofstream(dir + "/named.txt") << "scale 10\nstart 1 2\nexit 3 4\nname  Первый полёт #1 \n";
    std::ofstream(dir + "/plain.txt") << "scale 10\nstart 1 2\nexit 3 4\n";
    for (const char* level : {"named", "plain"}) {
        const ProgramRun run =
            RunProgram(TOOLS_DIR "/levels/map_compiler", dir, {}, 60000, 1000,
                       {std::string(level) + ".txt", std::string(level) + ".map"});
        ASSERT_EQ(run.ExitCode, 0) << run.Stderr;
    }
    EXPECT_EQ(ReadLines(dir + "/named.name"), std::vector<std::string>{"Первый полёт #1"});
    EXPECT_FALSE(std::filesystem::exists(dir + "/plain.name"));
}

TEST(LevelTools, TheHumanPlayerReportsItsSharesAndRefusesAMissingLevel) {
    const std::string dir = MakeScratchDir("levels");
    std::filesystem::create_directory(dir + "/maps");
    WriteMapFile(dir + "/maps/map1.map", {10, 0, 1, 225, 300, 225, 60, 225, 150, 0});
    const ProgramRun play = RunProgram(TOOLS_DIR "/levels/human_player", dir, {}, 60000, 1000,
                                       {".", "1", "--trials", "5", "--limit", "900"});
    ASSERT_EQ(play.ExitCode, 0) << play.Stderr;
    EXPECT_NE(play.Stdout.find("map1.map: 5/5 trials finish within 900 steps (100%); median"),
              std::string::npos)
        << play.Stdout;
    // Held Up from the start rises through the pickup into the exit; a step more or less of it,
    // held on for a second, still does, while released Up never leaves the floor.
    std::ofstream(dir + "/up.replay") << "up 70\n";
    std::ofstream(dir + "/off.replay") << "off 70\n";
    for (const auto& [replay, share] : {std::pair{"up.replay", "5/5"}, {"off.replay", "0/5"}}) {
        const ProgramRun run = RunProgram(TOOLS_DIR "/levels/human_player", dir, {}, 60000, 1000,
                                          {".", "1", "--trials", "5", "--perturb", replay});
        EXPECT_NE(run.Stdout.find(std::string("map1.map: ") + share + " perturbed replays finish"),
                  std::string::npos)
            << run.Stdout << run.Stderr;
    }
    const ProgramRun missing =
        RunProgram(TOOLS_DIR "/levels/human_player", dir, {}, 60000, 1000, {".", "2"});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_NE(missing.Stderr.find("./maps/map2.map: cannot be loaded"), std::string::npos)
        << missing.Stderr;
}
