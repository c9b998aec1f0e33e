// The program runner is what every program test stands on: it must stop a program that does not
// stop, report exit codes and keep the program's output.
#include "offscreen_gl.h"
#include "run_program.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

static std::string WriteScript(const std::string& dir, const std::string& body) {
    std::string path = dir + "/script.sh";
    std::ofstream(path) << "#!/bin/sh\n" << body;
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

TEST(RunProgram, RunsInTheFolderAndKeepsOutputAndExitCode) {
    std::string dir = MakeScratchDir("support");
    ASSERT_FALSE(dir.empty());
    std::string script =
        WriteScript(dir, "pwd; echo oops >&2; echo $GREETING > note.txt; exit 3\n");
    ProgramRun run = RunProgram(script, dir, {"GREETING=hello"}, 5000);
    EXPECT_EQ(run.ExitCode, 3);
    EXPECT_FALSE(run.TimedOut);
    EXPECT_EQ(run.Stdout, fs::canonical(dir).string() + "\n");
    EXPECT_EQ(run.Stderr, "oops\n");
    EXPECT_EQ(ReadLines(dir + "/note.txt"), std::vector<std::string>{"hello"});
    fs::remove_all(dir);
}

TEST(RunProgram, StopsARunningProgramAndKillsOneThatIgnoresTheStop) {
    std::string dir = MakeScratchDir("support");
    std::string polite = WriteScript(dir, "trap 'exit 5' TERM\nwhile :; do sleep 0.05; done\n");
    ProgramRun stopped = RunProgram(polite, dir, {}, 200);
    EXPECT_EQ(stopped.ExitCode, 5);
    EXPECT_FALSE(stopped.TimedOut);

    std::string stubborn = WriteScript(dir, "trap '' TERM\nwhile :; do sleep 0.05; done\n");
    ProgramRun killed = RunProgram(stubborn, dir, {}, 200, 300);
    EXPECT_TRUE(killed.TimedOut);
    EXPECT_EQ(killed.ExitCode, -1);
    fs::remove_all(dir);
}

TEST(OffscreenGL, DrawsAndReadsBackWithoutADisplay) {
    OffscreenGL gl;
    ASSERT_TRUE(OpenOffscreenGL(gl, 64, 48));
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    std::vector<uint8_t> pixel = ReadPixelsRGBA(63, 47, 1, 1);
    EXPECT_EQ(pixel, (std::vector<uint8_t>{255, 0, 0, 255}));
    CloseOffscreenGL(gl);
}
