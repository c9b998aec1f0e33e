// The engine's own log file: one line per event, flushed at once so a crash keeps what came before.
#pragma once

#include <cstdio>
#include <string>

struct EngineLogFile {
    std::FILE* File = nullptr;
};

// Re-creates the file; without it (no name, no permission, a link or anything but a regular file
// there) lines are dropped.
void OpenLogFile(EngineLogFile& log, const char* path);
void WriteLog(EngineLogFile& log, const std::string& line);
void CloseLogFile(EngineLogFile& log);
