// Runs a real game executable headless from a scratch copy of its ready-to-run folder.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct ProgramRun {
    int ExitCode = -1;     // the exit status, or -1 when the program was killed or could not start
    bool TimedOut = false; // it ignored the stop request and had to be killed
    std::string Stdout;
    std::string Stderr;
};

// A new empty folder under the system's temporary folder.
std::string MakeScratchDir(const std::string& prefix);

// Copies a folder's contents (recursively) into another, which must exist.
void CopyFolder(const std::string& from, const std::string& to);

// Starts `program` (a path) in `workDir` with the extra "NAME=value" environment entries. After
// `runMs` it is sent SIGTERM, which SDL turns into a quit request; after `graceMs` more, SIGKILL.
// A program that ends on its own before `runMs` is simply waited for. `arguments` follow the
// program's name on its command line.
ProgramRun RunProgram(const std::string& program, const std::string& workDir,
                      const std::vector<std::string>& environment, int runMs, int graceMs = 10000,
                      const std::vector<std::string>& arguments = {});

// RunProgram that sends SIGTERM as soon as `ready` holds (looked at every millisecond), or after
// `runMs` at the latest.
ProgramRun RunProgramUntil(const std::string& program, const std::string& workDir,
                           const std::vector<std::string>& environment,
                           const std::function<bool()>& ready, int runMs, int graceMs = 10000,
                           const std::vector<std::string>& arguments = {});

// The whole file, or the empty string when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// The file's lines without their line ends.
std::vector<std::string> ReadLines(const std::string& path);

// Whether a line is exactly `line`, or begins with `start`: lookups in a program's log.
bool HasLine(const std::vector<std::string>& lines, const std::string& line);
bool HasLineStartingWith(const std::vector<std::string>& lines, const std::string& start);
