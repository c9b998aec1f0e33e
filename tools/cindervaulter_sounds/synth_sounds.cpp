// synth_sounds FOLDER: synthesizes Cindervaulter's sound effects as 16-bit mono WAV files: a
// breathy thrust, a bright pickup chirp, a rising chord as the exit opens, a fanfare when a level
// is finished and a soft tick for menu moves. Deterministic: the noise comes from a seeded
// generator.
#include "file_bytes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int SampleRate = 22050;
constexpr double TwoPi = 2 * std::numbers::pi;

using Samples = std::vector<float>;

Samples Silence(double seconds) {
    return Samples(static_cast<size_t>(seconds * SampleRate), 0.0f);
}

// A plucked envelope: a 5 ms rise, then an exponential fall with the given time constant.
float Envelope(double t, double fall) {
    return static_cast<float>(std::min(1.0, t / 0.005) * std::exp(-t / fall));
}

// A sine note with a touch of its octave, added at `start` seconds.
void AddNote(Samples& out, double start, double frequency, double fall, float volume) {
    const size_t first = static_cast<size_t>(start * SampleRate);
    for (size_t i = first; i < out.size(); ++i) {
        const double t = static_cast<double>(i - first) / SampleRate;
        const double wave =
            std::sin(TwoPi * frequency * t) + 0.3 * std::sin(TwoPi * 2 * frequency * t);
        out[i] += volume * Envelope(t, fall) * static_cast<float>(wave);
    }
}

// Noise through a one-pole low-pass whose cut-off falls over the sound: a rush of air.
Samples Thrust() {
    Samples out = Silence(0.25);
    uint32_t seed = 12345;
    float low = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float noise = static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
        const double t = static_cast<double>(i) / SampleRate;
        const float k = static_cast<float>(0.25 * std::exp(-t / 0.1) + 0.03);
        low += k * (noise - low);
        out[i] = 0.9f * Envelope(t, 0.08) * low;
    }
    return out;
}

Samples Pickup() {
    Samples out = Silence(0.3);
    AddNote(out, 0.0, 1318.5, 0.05, 0.35f);  // E6
    AddNote(out, 0.06, 1975.5, 0.08, 0.35f); // B6
    return out;
}

Samples ExitOpen() {
    Samples out = Silence(0.9);
    const double notes[] = {523.25, 659.25, 783.99, 1046.5}; // C5 E5 G5 C6
    for (int i = 0; i < 4; ++i) AddNote(out, 0.07 * i, notes[i], 0.3, 0.22f);
    return out;
}

Samples Finish() {
    Samples out = Silence(1.4);
    const double notes[] = {392.0, 523.25, 659.25, 783.99, 1046.5}; // G4 C5 E5 G5 C6
    for (int i = 0; i < 5; ++i) AddNote(out, 0.11 * i, notes[i], i == 4 ? 0.45 : 0.12, 0.25f);
    return out;
}

Samples MenuTick() {
    Samples out = Silence(0.08);
    AddNote(out, 0.0, 880.0, 0.015, 0.3f);
    return out;
}

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>((value >> (8 * i)) & 0xFF));
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + std::strlen(tag));
}

std::vector<uint8_t> Wav(const Samples& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    PutLe(out, 36 + dataBytes, 4);
    PutTag(out, "WAVEfmt ");
    PutLe(out, 16, 4);
    PutLe(out, 1, 2); // PCM
    PutLe(out, 1, 2); // mono
    PutLe(out, SampleRate, 4);
    PutLe(out, SampleRate * 2, 4);
    PutLe(out, 2, 2);
    PutLe(out, 16, 2);
    PutTag(out, "data");
    PutLe(out, dataBytes, 4);
    for (float s : samples)
        PutLe(out, static_cast<uint16_t>(static_cast<int16_t>(std::clamp(s, -1.0f, 1.0f) * 32767)),
              2);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: synth_sounds FOLDER\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    const std::pair<const char*, Samples> sounds[] = {
        {"thrust.wav", Thrust()}, {"pickup.wav", Pickup()}, {"exit_open.wav", ExitOpen()},
        {"finish.wav", Finish()}, {"menu.wav", MenuTick()},
    };
    for (const auto& [name, samples] : sounds)
        if (!WriteFileBytes(folder + "/" + name, Wav(samples))) {
            std::fprintf(stderr, "synth_sounds: cannot write %s/%s\n", folder.c_str(), name);
            return 1;
        }
    return 0;
}
