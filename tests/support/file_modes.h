// File and folder modes that bind root too, so that a test of a read-only file means the same in CI
// (which runs as root) as on a developer's machine.
#pragma once

#include <cstdint>
#include <string>

// While it lives, file and folder modes bind this thread even when it runs as root: it lowers the
// capabilities that override them (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH) and raises them again at
// its end. Lowering, or raising again from the permitted set, needs no privilege.
struct FileModesHold {
    uint32_t Lowered;
    FileModesHold();
    ~FileModesHold();
    FileModesHold(const FileModesHold&) = delete;
    FileModesHold& operator=(const FileModesHold&) = delete;
};

// Whether this thread may write: into the folder (a probe file is made and removed) or to the file
// (opened for writing, nothing written).
bool CanWrite(const std::string& path);
