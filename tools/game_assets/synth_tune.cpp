// synth_tune OUTPUT.mp3: synthesizes the Game's looping tune (32 bars at 120 beats a minute, 64
// seconds) and encodes it with LAME. Every note and echo that rings past the end is folded back
// onto the beginning, so the loop point is seamless; the LAME tag records the encoder's delay and
// padding for decoders that trim them.
#include "file_bytes.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int SampleRate = 44100;
constexpr int BeatsPerMinute = 120;
constexpr int FramesPerEighth = SampleRate * 60 / BeatsPerMinute / 2;
constexpr int EighthsPerBar = 8;
constexpr int Bars = 32;
constexpr int LoopFrames = FramesPerEighth * EighthsPerBar * Bars;
constexpr double TwoPi = 2 * std::numbers::pi;

// The whole loop in stereo floating point; writes wrap around its end.
struct Track {
    std::vector<float> Left = std::vector<float>(LoopFrames);
    std::vector<float> Right = std::vector<float>(LoopFrames);
};

void AddFrame(Track& track, int64_t frame, float value, float pan) {
    const size_t at = static_cast<size_t>(frame % LoopFrames);
    track.Left[at] += value * (1 - pan) * 0.5f;
    track.Right[at] += value * (1 + pan) * 0.5f;
}

double Frequency(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

// The correction that takes the corner off a naive saw or pulse step, against aliasing.
double PolyBlep(double phase, double step) {
    if (phase < step) {
        const double t = phase / step;
        return t + t - t * t - 1;
    }
    if (phase > 1 - step) {
        const double t = (phase - 1) / step;
        return t * t + t + t + 1;
    }
    return 0;
}

enum class Wave { Pulse, Saw, Triangle };

struct Voice {
    Wave Shape;
    double Duty;    // pulse width, for Pulse
    double Attack;  // seconds
    double Decay;   // seconds to fall from full to the sustain level
    double Sustain; // level held while the note lasts
    double Release; // seconds of fade after the note ends
    double Vibrato; // depth as a fraction of the frequency, after the first 150 ms
    double Cutoff;  // one-pole low-pass corner in hertz
    float Volume;
    float Pan; // -1 left to 1 right
};

double Envelope(const Voice& voice, double time, double length) {
    auto held = [&](double t) {
        if (t < voice.Attack) return t / voice.Attack;
        const double fall = std::min((t - voice.Attack) / voice.Decay, 1.0);
        return 1 - (1 - voice.Sustain) * fall;
    };
    if (time < length) return held(time);
    return held(length) * std::max(0.0, 1 - (time - length) / voice.Release);
}

void PlayNote(Track& track, const Voice& voice, int64_t startFrame, int lengthFrames, int note) {
    const double frequency = Frequency(note);
    const double length = static_cast<double>(lengthFrames) / SampleRate;
    const int frames = lengthFrames + static_cast<int>(voice.Release * SampleRate);
    const double smoothing = 1 - std::exp(-TwoPi * voice.Cutoff / SampleRate);
    double phase = 0;
    double filtered = 0;
    for (int i = 0; i < frames; ++i) {
        const double time = static_cast<double>(i) / SampleRate;
        const double wobble = time > 0.15 ? voice.Vibrato * std::sin(TwoPi * 5.5 * time) : 0;
        const double step = frequency * (1 + wobble) / SampleRate;
        double sample = 0;
        switch (voice.Shape) {
        case Wave::Saw:
            sample = 2 * phase - 1 - PolyBlep(phase, step);
            break;
        case Wave::Pulse: {
            const double shifted = std::fmod(phase + 1 - voice.Duty, 1.0);
            sample =
                (phase < voice.Duty ? 1 : -1) + PolyBlep(phase, step) - PolyBlep(shifted, step);
            break;
        }
        case Wave::Triangle:
            sample = 1 - 4 * std::abs(phase - 0.5);
            break;
        }
        filtered += (sample - filtered) * smoothing;
        AddFrame(track, startFrame + i,
                 static_cast<float>(filtered * Envelope(voice, time, length)) * voice.Volume,
                 voice.Pan);
        phase += step;
        if (phase >= 1) phase -= 1;
    }
}

// A deterministic noise source for the drums.
struct Noise {
    uint32_t State = 12345;
};

float NextNoise(Noise& noise) {
    noise.State = noise.State * 1664525u + 1013904223u;
    return static_cast<float>(noise.State >> 8) / static_cast<float>(1u << 23) - 1;
}

void Kick(Track& track, int64_t start) {
    double phase = 0;
    for (int i = 0; i < SampleRate * 3 / 10; ++i) {
        const double time = static_cast<double>(i) / SampleRate;
        phase += (45 + 90 * std::exp(-time * 30)) / SampleRate;
        AddFrame(track, start + i,
                 static_cast<float>(std::sin(TwoPi * phase) * std::exp(-time * 9)) * 0.55f, 0);
    }
}

void Snare(Track& track, Noise& noise, int64_t start) {
    for (int i = 0; i < SampleRate / 5; ++i) {
        const double time = static_cast<double>(i) / SampleRate;
        const double tone = std::sin(TwoPi * 185 * time) * std::exp(-time * 30);
        const double hiss = NextNoise(noise) * std::exp(-time * 22);
        AddFrame(track, start + i, static_cast<float>(tone * 0.2 + hiss * 0.22), 0.1f);
    }
}

void HiHat(Track& track, Noise& noise, int64_t start, float volume) {
    float previous = 0;
    for (int i = 0; i < SampleRate / 20; ++i) {
        const double time = static_cast<double>(i) / SampleRate;
        const float white = NextNoise(noise);
        AddFrame(track, start + i,
                 (white - previous) * static_cast<float>(std::exp(-time * 70)) * volume, 0.3f);
        previous = white;
    }
}

// Melodies on an eighth-note grid: a note name starts a note, "-" holds it, "." rests.
int ParseNote(const std::string& name) {
    static const std::string Letters = "C D EF G A B";
    int note = static_cast<int>(Letters.find(name[0]));
    size_t at = 1;
    if (at < name.size() && name[at] == '#') {
        ++note;
        ++at;
    }
    return note + 12 * (std::stoi(name.substr(at)) + 1);
}

void PlayMelody(Track& track, const Voice& voice, int firstBar, const std::string& score,
                int transpose) {
    std::vector<std::string> tokens;
    size_t at = 0;
    while (at < score.size()) {
        const size_t end = std::min(score.find(' ', at), score.size());
        if (end > at) tokens.push_back(score.substr(at, end - at));
        at = end + 1;
    }
    const int64_t origin = static_cast<int64_t>(firstBar) * EighthsPerBar * FramesPerEighth;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i] == "-" || tokens[i] == ".") continue;
        size_t length = 1;
        while (i + length < tokens.size() && tokens[i + length] == "-") ++length;
        // A little shorter than the written length, so repeated notes stay apart.
        const int frames = static_cast<int>(length) * FramesPerEighth - FramesPerEighth / 6;
        PlayNote(track, voice, origin + static_cast<int64_t>(i) * FramesPerEighth, frames,
                 ParseNote(tokens[i]) + transpose);
    }
}

// Chords by bar, as their root and quality, for the two eight-bar sections.
struct Chord {
    int Root; // MIDI note of the root in the bass octave
    bool Minor;
};

const Chord SectionA[8] = {{36, false}, {43, false}, {45, true}, {41, false},
                           {36, false}, {43, false}, {45, true}, {41, false}};
const Chord SectionB[8] = {{41, false}, {43, false}, {40, true},  {45, true},
                           {41, false}, {43, false}, {36, false}, {36, false}};

const char* MelodyA =
    "E5 - G5 - C6 - G5 E5 D5 - G5 - B5 - - . C5 - E5 - A5 - G5 E5 F5 - A5 - C6 - A5 - "
    "G5 - E5 G5 C6 - D6 - B5 - G5 - D5 - G5 - A5 - E5 - C6 - B5 A5 F5 - A5 G5 F5 - - .";
const char* MelodyB =
    "A5 - - C6 A5 - G5 F5 G5 - - B5 G5 - D5 - E5 - G5 - B5 - G5 E5 A5 - - - C6 - B5 A5 "
    "F5 - A5 - C6 - D6 C6 B5 - D6 - G6 - F6 D6 E6 - - - D6 - C6 - C6 - - - . . G5 -";

void PlaySection(Track& track, Noise& noise, int firstBar, const Chord* chords, const char* melody,
                 bool secondPass) {
    const Voice lead{
        Wave::Pulse, secondPass ? 0.5 : 0.25, 0.005, 0.12, 0.6, 0.08, 0.004, 5200, 0.16f, -0.2f};
    const Voice bass{Wave::Saw, 0, 0.004, 0.15, 0.5, 0.05, 0, 700, 0.34f, 0};
    const Voice stab{Wave::Triangle, 0, 0.004, 0.1, 0.25, 0.06, 0, 4000, 0.07f, 0.35f};
    const Voice arpeggio{Wave::Pulse, 0.5, 0.003, 0.08, 0.2, 0.05, 0, 3000, 0.05f, 0.5f};
    PlayMelody(track, lead, firstBar, melody, 0);
    for (int bar = 0; bar < 8; ++bar) {
        const Chord chord = chords[bar];
        const int third = chord.Root + (chord.Minor ? 3 : 4);
        const int64_t barStart =
            static_cast<int64_t>(firstBar + bar) * EighthsPerBar * FramesPerEighth;
        for (int eighth = 0; eighth < EighthsPerBar; ++eighth) {
            const int64_t at = barStart + static_cast<int64_t>(eighth) * FramesPerEighth;
            const int bassNote = chord.Root + (eighth % 2 == 1 ? 12 : 0);
            PlayNote(track, bass, at, FramesPerEighth * 3 / 4, bassNote);
            if (eighth % 2 == 1)
                for (int note : {third + 24, chord.Root + 31, chord.Root + 36})
                    PlayNote(track, stab, at, FramesPerEighth / 2, note);
            if (secondPass) {
                const int pattern[4] = {chord.Root + 36, third + 36, chord.Root + 43, third + 36};
                PlayNote(track, arpeggio, at, FramesPerEighth / 2, pattern[eighth % 4] + 12);
            }
            if (eighth % 4 == 0) Kick(track, at);
            if (eighth % 4 == 2) Snare(track, noise, at);
            HiHat(track, noise, at, eighth % 2 == 1 ? 0.12f : 0.06f);
        }
    }
}

// Echoes of the whole mix a dotted quarter apart, folded around the loop like everything else.
void AddEcho(Track& track) {
    const Track dry = track;
    const int delay = FramesPerEighth * 3;
    float gain = 0.22f;
    for (int tap = 1; tap <= 3; ++tap, gain *= 0.45f)
        for (int i = 0; i < LoopFrames; ++i) {
            const size_t from =
                static_cast<size_t>((i - tap * delay) % LoopFrames + LoopFrames) % LoopFrames;
            track.Left[i] += dry.Right[from] * gain;
            track.Right[i] += dry.Left[from] * gain;
        }
}

std::vector<int16_t> ToInterleaved(const Track& track) {
    float peak = 1e-6f;
    for (int i = 0; i < LoopFrames; ++i)
        peak = std::max({peak, std::abs(track.Left[i]), std::abs(track.Right[i])});
    const float scale = 0.89f / peak * 32767;
    std::vector<int16_t> pcm(static_cast<size_t>(LoopFrames) * 2);
    for (int i = 0; i < LoopFrames; ++i) {
        pcm[2 * i] = static_cast<int16_t>(std::lround(track.Left[i] * scale));
        pcm[2 * i + 1] = static_cast<int16_t>(std::lround(track.Right[i] * scale));
    }
    return pcm;
}

bool EncodeMp3(const std::vector<int16_t>& pcm, const std::string& path) {
    lame_global_flags* lame = lame_init();
    if (!lame) return false;
    lame_set_in_samplerate(lame, SampleRate);
    lame_set_num_channels(lame, 2);
    lame_set_brate(lame, 128);
    lame_set_quality(lame, 7);
    lame_set_bWriteVbrTag(lame, 1);
    std::vector<unsigned char> mp3;
    bool encoded = lame_init_params(lame) >= 0;
    constexpr int Chunk = 1152 * 16;
    std::vector<unsigned char> buffer(Chunk * 5 / 4 + 7200);
    for (int frame = 0; encoded && frame < LoopFrames; frame += Chunk) {
        const int count = std::min(Chunk, LoopFrames - frame);
        const int bytes = lame_encode_buffer_interleaved(
            lame, const_cast<short*>(&pcm[static_cast<size_t>(frame) * 2]), count, buffer.data(),
            static_cast<int>(buffer.size()));
        encoded = bytes >= 0;
        if (encoded) mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + bytes);
    }
    if (encoded) {
        const int bytes = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
        encoded = bytes >= 0;
        if (encoded) mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + bytes);
    }
    // The first frame is a placeholder for the tag with the delay and padding.
    if (encoded) {
        const size_t tagBytes = lame_get_lametag_frame(lame, buffer.data(), buffer.size());
        encoded = tagBytes > 0 && tagBytes <= buffer.size() && tagBytes <= mp3.size();
        if (encoded) std::copy_n(buffer.begin(), tagBytes, mp3.begin());
    }
    lame_close(lame);
    return encoded && WriteFileBytes(path, mp3);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.mp3\n", argv[0]);
        return 2;
    }
    Track track;
    Noise noise;
    PlaySection(track, noise, 0, SectionA, MelodyA, false);
    PlaySection(track, noise, 8, SectionB, MelodyB, false);
    PlaySection(track, noise, 16, SectionA, MelodyA, true);
    PlaySection(track, noise, 24, SectionB, MelodyB, true);
    AddEcho(track);
    if (!EncodeMp3(ToInterleaved(track), argv[1])) {
        std::fprintf(stderr, "%s: cannot encode %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
