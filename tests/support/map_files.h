// Map files made from their integers, for the tests of the map loader and the levels.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// The integers as a map file holds them, little-endian.
inline std::vector<uint8_t> MapBytes(const std::vector<int32_t>& values) {
    std::vector<uint8_t> out;
    for (int32_t v : values)
        for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(uint32_t(v) >> shift));
    return out;
}

inline void WriteMapFile(const std::string& path, const std::vector<int32_t>& values) {
    const std::vector<uint8_t> bytes = MapBytes(values);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
