// Whole-file reading and writing for the asset tools and their tests.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The most the tools read of a file unless told otherwise: far above any asset or its source.
constexpr uint64_t MaxToolFileBytes = uint64_t{256} << 20;

// The most a level source or a replay may hold. A replay of the 10,000,000 steps it may run,
// written as one-step runs, takes about 55 MB; a source of the largest map the game loads, a few.
constexpr uint64_t MaxLevelTextBytes = uint64_t{64} << 20;

// The whole regular file; false when it cannot be opened or read completely, is not a regular file
// or holds more than `limit` bytes.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes,
                   uint64_t limit = MaxToolFileBytes);
// Creates or replaces the file; false when it cannot be written completely.
bool WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes);
