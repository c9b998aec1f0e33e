// Any bytes as a compressed resource, expanded in memory: the copy is whole (exactly the length
// an SZDD header records, or the bytes themselves when they are not compressed) or nothing, and
// never a crash. The files around it are the unit tests' part.
#include "resources.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> expanded;
    const bool whole = ExpandCompressedBytes({data, size}, expanded);
    const bool szdd = size >= 14 && std::memcmp(data, "SZDD\x88\xF0\x27\x33", 8) == 0;
    uint32_t recorded = static_cast<uint32_t>(size);
    if (szdd) std::memcpy(&recorded, data + 10, 4); // little-endian, as the host
    if (whole && expanded.size() != recorded) __builtin_trap();
    if (!whole && !expanded.empty()) __builtin_trap();
    return 0;
}
