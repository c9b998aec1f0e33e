#include "run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

std::string MakeScratchDir(const std::string& prefix) {
    std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) return {};
    return pattern;
}

void CopyFolder(const std::string& from, const std::string& to) {
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadWholeFile(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool HasLineStartingWith(const std::vector<std::string>& lines, const std::string& start) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.rfind(start, 0) == 0; });
}

namespace {

// Waits for the child up to `ms`, or until `ready` holds; true when it ended, with its raw status
// in `status`.
bool WaitFor(pid_t pid, int ms, int& status, const std::function<bool()>& ready = nullptr) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, &status, WNOHANG) == pid) return true;
        if (ready && ready()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(ready ? 1 : 10));
    }
    return false;
}

[[noreturn]] void ExecChild(const std::string& program, const std::string& workDir,
                            const std::vector<std::string>& environment, const std::string& outPath,
                            const std::string& errPath, const std::vector<std::string>& arguments) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int in = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0 || chdir(workDir.c_str()) != 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
}

} // namespace

ProgramRun RunProgram(const std::string& program, const std::string& workDir,
                      const std::vector<std::string>& environment, int runMs, int graceMs,
                      const std::vector<std::string>& arguments) {
    return RunProgramUntil(program, workDir, environment, nullptr, runMs, graceMs, arguments);
}

ProgramRun RunProgramUntil(const std::string& program, const std::string& workDir,
                           const std::vector<std::string>& environment,
                           const std::function<bool()>& ready, int runMs, int graceMs,
                           const std::vector<std::string>& arguments) {
    ProgramRun run;
    std::string outPath = workDir + ".stdout";
    std::string errPath = workDir + ".stderr";
    pid_t pid = fork();
    if (pid < 0) return run;
    if (pid == 0)
        ExecChild(fs::absolute(program).string(), workDir, environment, outPath, errPath,
                  arguments);

    int status = 0;
    bool ended = WaitFor(pid, runMs, status, ready);
    if (!ended) {
        kill(pid, SIGTERM);
        ended = WaitFor(pid, graceMs, status);
    }
    if (!ended) {
        run.TimedOut = true;
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    if (WIFEXITED(status)) run.ExitCode = WEXITSTATUS(status);
    run.Stdout = ReadWholeFile(outPath);
    run.Stderr = ReadWholeFile(errPath);
    fs::remove(outPath);
    fs::remove(errPath);
    return run;
}
