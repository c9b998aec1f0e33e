// map_compiler SOURCE MAP: compiles a Cindervaulter level source (format: map_source.cpp) into the
// game's binary map. A broken source is refused with "file:line: reason" and no map is written.
#include "file_bytes.h"
#include "map_source.h"

#include <cstdio>
#include <fstream>
#include <sstream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: map_compiler SOURCE MAP\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "%s: cannot be read\n", argv[1]);
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::vector<uint8_t> map;
    std::string error;
    if (!CompileMapSource(text.str(), argv[1], map, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (!WriteFileBytes(argv[2], map)) {
        std::fprintf(stderr, "%s: cannot be written\n", argv[2]);
        return 1;
    }
    return 0;
}
