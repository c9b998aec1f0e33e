// Whole-file reading and writing for the asset tools and their tests.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// False when the file cannot be opened or read completely.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes);
// Creates or replaces the file; false when it cannot be written completely.
bool WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes);
