// The system's own Windows-1251 converter, to check the games' tables against.
#pragma once

#include <cstdint>

// The Unicode character iconv gives for the byte; U+FFFD where iconv refuses it (0x98, which the
// code page leaves unassigned).
char32_t SystemCp1251ToUnicode(uint8_t byte);
