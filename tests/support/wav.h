// Sound files made in memory for the sound tests and benchmarks.
#pragma once

#include <cstdint>
#include <vector>

// A 16-bit PCM WAV of a 440 Hz tone, the same in every channel.
std::vector<uint8_t> ToneWav(int milliseconds, uint32_t rate = 22050, uint16_t channels = 1);
