// Cindervaulter's level sources: small text files compiled into the game's binary map format.
// The format is described at the top of map_source.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Compiles the source text into map bytes and the level's name (empty when it has none). On a
// broken source returns false and sets `error` to "file:line: reason", `file` being the name the
// message gives.
bool CompileMapSource(const std::string& text, const std::string& file, std::vector<uint8_t>& map,
                      std::string& name, std::string& error);
