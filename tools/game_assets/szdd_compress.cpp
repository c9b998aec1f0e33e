// szdd_compress INPUT OUTPUT: stores INPUT as an SZDD compressed file, recording the last character
// of its name so that the expander can restore it.
#include "szdd.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s INPUT OUTPUT\n", argv[0]);
        return 2;
    }
    if (!CompressSzddFile(argv[1], argv[2])) {
        std::fprintf(stderr, "%s: cannot compress %s into %s\n", argv[0], argv[1], argv[2]);
        return 1;
    }
    return 0;
}
