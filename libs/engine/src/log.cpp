#include "log.h"

void OpenLogFile(EngineLogFile& log, const char* path) {
    CloseLogFile(log);
    if (path && *path) log.File = std::fopen(path, "w");
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
