#include "log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens without waiting (a named pipe would block until a reader came, and hold the program before
// its window) and without following a link (it would overwrite whatever the link names); keeps the
// file only when it is a regular one, emptied.
std::FILE* RewriteRegularLog(const char* path) {
    const int file = open(path, O_WRONLY | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (file < 0) return nullptr;
    struct stat status;
    if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode) || fcntl(file, F_SETFL, 0) != 0 ||
        ftruncate(file, 0) != 0) {
        close(file);
        return nullptr;
    }
    std::FILE* stream = fdopen(file, "w");
    if (!stream) close(file);
    return stream;
}

} // namespace

void OpenLogFile(EngineLogFile& log, const char* path) {
    CloseLogFile(log);
    if (path && *path) log.File = RewriteRegularLog(path);
}

void WriteLog(EngineLogFile& log, const std::string& line) {
    if (!log.File) return;
    std::fputs(line.c_str(), log.File);
    std::fputc('\n', log.File);
    std::fflush(log.File);
}

void CloseLogFile(EngineLogFile& log) {
    if (log.File) std::fclose(log.File);
    log.File = nullptr;
}
