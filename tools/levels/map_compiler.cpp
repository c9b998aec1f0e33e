// map_compiler SOURCE MAP: compiles a Cindervaulter level source (format: map_source.cpp) into the
// game's binary map, and the level's name, when the source gives one, into a side file beside it
// (maps/map3.map gets maps/map3.name: the name alone on one line, UTF-8) that the game reads and
// translates. A broken source is refused with "file:line: reason" and nothing is written.
#include "file_bytes.h"
#include "map_source.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: map_compiler SOURCE MAP\n");
        return 2;
    }
    std::vector<uint8_t> text;
    if (!ReadFileBytes(argv[1], text, MaxLevelTextBytes)) {
        std::fprintf(stderr, "%s: cannot be read (a regular file of at most %llu bytes)\n", argv[1],
                     static_cast<unsigned long long>(MaxLevelTextBytes));
        return 1;
    }
    std::vector<uint8_t> map;
    std::string name, error;
    if (!CompileMapSource(std::string(text.begin(), text.end()), argv[1], map, name, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (!WriteFileBytes(argv[2], map)) {
        std::fprintf(stderr, "%s: cannot be written\n", argv[2]);
        return 1;
    }
    if (name.empty()) return 0;
    const std::filesystem::path namePath =
        std::filesystem::path(argv[2]).replace_extension(".name");
    const std::string line = name + "\n";
    if (!WriteFileBytes(namePath.string(), std::vector<uint8_t>(line.begin(), line.end()))) {
        std::fprintf(stderr, "%s: cannot be written\n", namePath.c_str());
        return 1;
    }
    return 0;
}
