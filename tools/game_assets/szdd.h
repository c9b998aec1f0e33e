// The SZDD compressed-file format of the Windows file-compression tool: a 14-byte header recording
// the uncompressed size and the last character of the file's name, then LZSS data over a 4 KiB
// window that starts filled with blanks.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The whole compressed file for the bytes; `missingChar` 0 records no name character.
std::vector<uint8_t> CompressSzdd(std::span<const uint8_t> data, char missingChar);

// Compresses one file into another, recording the last character of the input's file name as the
// Windows tool does with its rename option. False when a file cannot be read or written, or the
// input is larger than the format's 2 GiB limit.
bool CompressSzddFile(const std::string& inputPath, const std::string& outputPath);
