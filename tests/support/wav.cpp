#include "wav.h"

#include <cmath>
#include <numbers>

namespace {

void PutLE(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

} // namespace

std::vector<uint8_t> ToneWav(int milliseconds, uint32_t rate, uint16_t channels) {
    const uint32_t frames = rate * milliseconds / 1000;
    const uint32_t frameBytes = 2u * channels;
    std::vector<uint8_t> wav;
    wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
    PutLE(wav, 36 + frames * frameBytes, 4);
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLE(wav, 16, 4);
    PutLE(wav, 1, 2); // PCM
    PutLE(wav, channels, 2);
    PutLE(wav, rate, 4);
    PutLE(wav, rate * frameBytes, 4);
    PutLE(wav, frameBytes, 2);
    PutLE(wav, 16, 2);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    PutLE(wav, frames * frameBytes, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        const double value = 12000 * std::sin(2 * std::numbers::pi * 440 * i / rate);
        for (uint16_t channel = 0; channel < channels; ++channel)
            PutLE(wav, static_cast<uint32_t>(static_cast<int16_t>(value)), 2);
    }
    return wav;
}
