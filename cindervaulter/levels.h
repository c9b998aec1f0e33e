// The levels on offer: which maps the maps folder holds, how the level choice steps through them,
// and each level's name from the side file the map compiler writes beside its map.
#pragma once

#include <cstdint>
#include <string>

// The highest N of the folder's "mapN.map" files, 0 when it holds none (or cannot be read).
int32_t HighestMap(const std::string& folder);
// `level` moved by `delta` within 1 to `highest`, wrapping at both ends. Without maps (highest
// 0) the old choice: never below 1, no upper limit.
int32_t StepLevel(int32_t level, int32_t delta, int32_t highest);
// The level to offer first: the one after the last finished, wrapping past the highest to 1.
int32_t LevelAfter(int32_t lastFinished, int32_t highest);
// The first line of "mapN.name" in the folder (English, UTF-8), "" when there is none.
std::string LevelName(const std::string& folder, int32_t number);
