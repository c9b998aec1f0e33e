// The player's records: which levels were finished, the best time of each in update steps, and the
// last level finished. Kept in a small text file written atomically (a temporary file renamed into
// place), so an interrupted write leaves the old file whole.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TRecords {
    std::vector<int32_t> BestSteps; // by level from 1; 0 while the level was never finished
    int32_t LastFinished = 0;       // 0 before any
};

constexpr const char* RecordsFileName = "records.txt";
constexpr int32_t MaxRecordedLevel = 9999;

// The records of the file; none when it is missing, unreadable, corrupt or cut short.
TRecords ReadRecords(const std::string& path);
// Writes path + ".tmp", flushes it to the disk and renames it over `path`. False, with the old
// file untouched, when any of that fails.
bool WriteRecords(const std::string& path, const TRecords& records);
// Notes a finish of `level` in `steps`; true when it is the level's best.
bool NoteFinish(TRecords& records, int32_t level, int32_t steps);
// The best time of `level` in steps, 0 when it was never finished.
int32_t BestSteps(const TRecords& records, int32_t level);
