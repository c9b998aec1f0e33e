#include "cp1251_reference.h"

#include <iconv.h>

char32_t SystemCp1251ToUnicode(uint8_t byte) {
    iconv_t converter = iconv_open("UTF-32LE", "CP1251");
    if (converter == reinterpret_cast<iconv_t>(-1)) return 0;
    char in = static_cast<char>(byte);
    char32_t out = 0;
    char* inPointer = &in;
    char* outPointer = reinterpret_cast<char*>(&out);
    size_t inLeft = 1, outLeft = sizeof(out);
    const bool refused =
        iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1);
    iconv_close(converter);
    return refused ? U'\uFFFD' : out;
}
