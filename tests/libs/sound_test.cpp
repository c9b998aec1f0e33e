// The sound library on SDL's dummy and disk outputs: what it opens, loads and refuses, the limit on
// playbacks, and sound that really reaches the output file.
#include "bass_api.h"

#include "run_program.h"
#include "scratch_folder.h"
#include "wav.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void PutBE16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

// A four-channel Protracker module: one looping square-wave sample struck on the first row.
std::vector<uint8_t> SquareWaveModule() {
    std::vector<uint8_t> mod(20, 0); // title
    for (int sample = 0; sample < 31; ++sample) {
        mod.insert(mod.end(), 22, 0); // name
        bool used = sample == 0;
        PutBE16(mod, used ? 32 : 0); // length in words
        mod.push_back(0);            // finetune
        mod.push_back(used ? 64 : 0);
        PutBE16(mod, 0);             // loop start
        PutBE16(mod, used ? 32 : 1); // loop length
    }
    mod.push_back(1);   // song length
    mod.push_back(127); // restart
    mod.insert(mod.end(), 128, 0);
    mod.insert(mod.end(), {'M', '.', 'K', '.'});
    std::vector<uint8_t> pattern(64 * 4 * 4, 0);
    const uint16_t period = 428;
    pattern[0] = static_cast<uint8_t>(period >> 8);
    pattern[1] = static_cast<uint8_t>(period);
    pattern[2] = 0x10; // sample 1
    mod.insert(mod.end(), pattern.begin(), pattern.end());
    for (int i = 0; i < 64; ++i) mod.push_back(static_cast<uint8_t>(i < 32 ? 100 : -100));
    return mod;
}

// MPEG-1 frames of silence (no subband gets bits) in layer I or II: mono, 44.1 kHz, 128 kbit/s.
std::vector<uint8_t> SilentMpegFrames(int layer) {
    bool layerOne = layer == 1;
    std::vector<uint8_t> frame(layerOne ? 4 * (12 * 128000 / 44100) : 144 * 128000 / 44100, 0);
    frame[0] = 0xFF;
    frame[1] = layerOne ? 0xFF : 0xFD; // MPEG-1, the layer, no checksum
    frame[2] = layerOne ? 0x40 : 0x80; // 128 kbit/s at 44.1 kHz
    frame[3] = 0xC0;                   // mono
    std::vector<uint8_t> frames;
    for (int i = 0; i < 40; ++i) frames.insert(frames.end(), frame.begin(), frame.end());
    return frames;
}

std::string WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

// The loudest sample of a raw 16-bit output file.
int Loudest(const std::string& path) {
    std::string raw = ReadWholeFile(path);
    int loudest = 0;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        int16_t value = static_cast<int16_t>(static_cast<uint8_t>(raw[i]) |
                                             static_cast<uint8_t>(raw[i + 1]) << 8);
        loudest = std::max(loudest, std::abs(static_cast<int>(value)));
    }
    return loudest;
}

class Sound : public ScratchFolderTest {
  protected:
    void SetUp() override {
        ASSERT_FALSE(Dir.empty());
        Output = Dir + "/output.raw";
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("SDL_DISKAUDIOFILE", Output.c_str(), 1);
    }
    void TearDown() override { BASS_Free(); }

    bool Open() { return BASS_Init(1, 44100, 0, nullptr, nullptr) != 0; }
    // A tone of `ms` encoded by LAME into Dir/NAME.mp3; "" when the encoder failed.
    std::string Mp3Tone(const std::string& name, int ms) {
        std::string wavPath = WriteFile(Dir + "/" + name + ".wav", ToneWav(ms));
        std::string mp3Path = Dir + "/" + name + ".mp3";
        std::string command = "lame --quiet '" + wavPath + "' '" + mp3Path + "'";
        return std::system(command.c_str()) == 0 ? mp3Path : "";
    }
    // Waits until the disk output holds a sample louder than `threshold`, or 10 s: on a loaded
    // machine the audio thread may be slow to run, and the checks after this say what came out.
    void WaitForLoudOutput(int threshold) {
        for (int waited = 0; waited < 10000 && Loudest(Output) <= threshold; waited += 50)
            SDL_Delay(50);
    }

    std::string Output;
};

} // namespace

TEST_F(Sound, OpensTheDefaultOrANumberedDeviceAtAValidRateOnlyOnce) {
    EXPECT_EQ(BASS_Init(0, 44100, 0, nullptr, nullptr), 0);
    EXPECT_EQ(BASS_Init(-2, 44100, 0, nullptr, nullptr), 0);
    EXPECT_EQ(BASS_Init(3, 44100, 0, nullptr, nullptr), 0); // the dummy output lists one device
    EXPECT_EQ(BASS_Init(1, 0, 0, nullptr, nullptr), 0);
    EXPECT_EQ(BASS_Init(1, 7999, 0, nullptr, nullptr), 0);
    EXPECT_EQ(BASS_Init(1, 192001, 0, nullptr, nullptr), 0);
    EXPECT_EQ(BASS_Init(1, static_cast<uint32_t>(-44100), 0, nullptr, nullptr), 0);
    EXPECT_EQ(BASS_Free(), 0); // nothing was opened

    EXPECT_NE(BASS_Init(-1, 8000, 0, nullptr, nullptr), 0);
    EXPECT_EQ(BASS_Init(1, 44100, 0, nullptr, nullptr), 0); // already open
    EXPECT_NE(BASS_Free(), 0);
    EXPECT_EQ(BASS_Free(), 0);

    EXPECT_NE(BASS_Init(2, 48000, 0, nullptr, nullptr), 0); // the first device SDL lists
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    EXPECT_NE(Mix_QuerySpec(&frequency, &format, &channels), 0);
    EXPECT_EQ(frequency, 48000);
    EXPECT_NE(BASS_Free(), 0);
    EXPECT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 0);
}

TEST_F(Sound, LoadsSamplesFromFilesAndMemoryAndRefusesWhatIsNotOne) {
    std::vector<uint8_t> wav = ToneWav(100);
    std::string path = WriteFile(Dir + "/tone.wav", wav);
    EXPECT_EQ(BASS_SampleLoad(0, path.c_str(), 0, 0, 3, 0), 0u); // not open yet
    ASSERT_TRUE(Open());

    uint32_t fromFile = BASS_SampleLoad(0, path.c_str(), 0, 0, 3, 0);
    uint32_t fromMemory =
        BASS_SampleLoad(1, wav.data(), 0, static_cast<uint32_t>(wav.size()), 1, 0);
    EXPECT_NE(fromFile, 0u);
    EXPECT_NE(fromMemory, 0u);
    EXPECT_NE(fromFile, fromMemory);

    std::vector<uint8_t> prefixed(100, 0x55);
    prefixed.insert(prefixed.end(), wav.begin(), wav.end());
    std::string packed = WriteFile(Dir + "/packed.bin", prefixed);
    uint32_t size = static_cast<uint32_t>(wav.size());
    EXPECT_NE(BASS_SampleLoad(0, packed.c_str(), 100, 0, 1, 0), 0u);
    EXPECT_NE(BASS_SampleLoad(0, packed.c_str(), 100, size, 1, 0), 0u);
    EXPECT_EQ(BASS_SampleLoad(0, packed.c_str(), 0, 0, 1, 0), 0u); // the junk is no sample
    EXPECT_EQ(BASS_SampleLoad(0, packed.c_str(), 100, size + 1, 1, 0), 0u);
    EXPECT_EQ(BASS_SampleLoad(0, packed.c_str(), 100 + size, 0, 1, 0), 0u);

    EXPECT_EQ(BASS_SampleLoad(0, path.c_str(), 0, 0, 0, 0), 0u); // no playback allowed
    EXPECT_EQ(BASS_SampleLoad(1, wav.data(), 0, 0, 1, 0), 0u);   // memory without a length
    EXPECT_EQ(BASS_SampleLoad(0, nullptr, 0, 0, 1, 0), 0u);
    EXPECT_EQ(BASS_SampleLoad(0, (Dir + "/missing.wav").c_str(), 0, 0, 1, 0), 0u);
    EXPECT_EQ(BASS_SampleLoad(0, Dir.c_str(), 0, 0, 1, 0), 0u); // a folder

    std::vector<uint8_t> truncated(wav.begin(), wav.begin() + 30);
    EXPECT_EQ(BASS_SampleLoad(1, truncated.data(), 0, 30, 1, 0), 0u);
    std::vector<uint8_t> module = SquareWaveModule();
    EXPECT_EQ(BASS_SampleLoad(1, module.data(), 0, static_cast<uint32_t>(module.size()), 1, 0), 0u);

    EXPECT_NE(BASS_SampleFree(fromFile), 0);
    EXPECT_EQ(BASS_SampleFree(fromFile), 0);
    EXPECT_EQ(BASS_MusicFree(fromMemory), 0); // a sample is no music
}

// A named pipe is refused at once; a (sparse) file is read only up to MaxSoundBytes.
TEST_F(Sound, ReadsOnlyRegularFilesUpToTheLimit) {
    ASSERT_TRUE(Open());
    const std::string pipe = Dir + "/pipe.wav";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_EQ(BASS_SampleLoad(0, pipe.c_str(), 0, 0, 1, 0), 0u);
    EXPECT_EQ(BASS_MusicLoad(0, pipe.c_str(), 0, 0, 0, 0), 0u);
    const std::string sample = WriteFile(Dir + "/big.wav", ToneWav(100));
    const std::string music = WriteFile(Dir + "/big.mod", SquareWaveModule());
    for (uint64_t size : {MaxSoundBytes, MaxSoundBytes + 1}) {
        fs::resize_file(sample, size);
        fs::resize_file(music, size);
        EXPECT_EQ(BASS_SampleLoad(0, sample.c_str(), 0, 0, 1, 0) != 0, size == MaxSoundBytes);
        EXPECT_EQ(BASS_MusicLoad(0, music.c_str(), 0, 0, 0, 0) != 0, size == MaxSoundBytes);
    }
}

TEST_F(Sound, PlaysASampleAtMostTheGivenNumberOfTimesAtOnce) {
    ASSERT_TRUE(Open());
    std::vector<uint8_t> wav = ToneWav(50);
    uint32_t looped =
        BASS_SampleLoad(1, wav.data(), 0, static_cast<uint32_t>(wav.size()), 2, BASS_SAMPLE_LOOP);
    ASSERT_NE(looped, 0u);
    uint32_t first = BASS_SamplePlay(looped);
    uint32_t second = BASS_SamplePlay(looped);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);
    EXPECT_EQ(BASS_SamplePlay(looped), 0u); // both playbacks busy, and looping keeps them so

    // Many samples at once are not held back by the mixer's initial channel count.
    uint32_t many =
        BASS_SampleLoad(1, wav.data(), 0, static_cast<uint32_t>(wav.size()), 20, BASS_SAMPLE_LOOP);
    for (int i = 0; i < 20; ++i) EXPECT_NE(BASS_SamplePlay(many), 0u) << i;
    EXPECT_EQ(BASS_SamplePlay(many), 0u);

    // A playback that ended frees its place.
    uint32_t once = BASS_SampleLoad(1, wav.data(), 0, static_cast<uint32_t>(wav.size()), 1, 0);
    EXPECT_NE(BASS_SamplePlay(once), 0u);
    SDL_Delay(400);
    EXPECT_NE(BASS_SamplePlay(once), 0u);

    EXPECT_NE(BASS_SampleFree(looped), 0);
    EXPECT_EQ(BASS_SamplePlay(looped), 0u);
    EXPECT_EQ(BASS_SamplePlay(12345), 0u);
}

TEST_F(Sound, MusicIsTrackerMusicOnly) {
    ASSERT_TRUE(Open());
    std::vector<uint8_t> module = SquareWaveModule();
    std::string path = WriteFile(Dir + "/tune.mod", module);
    uint32_t music = BASS_MusicLoad(0, path.c_str(), 0, 0, BASS_SAMPLE_LOOP, 0);
    EXPECT_NE(music, 0u);
    uint32_t fromMemory =
        BASS_MusicLoad(1, module.data(), 0, static_cast<uint32_t>(module.size()), 0, 0);
    EXPECT_NE(fromMemory, 0u);

    std::vector<uint8_t> wav = ToneWav(50);
    EXPECT_EQ(BASS_MusicLoad(1, wav.data(), 0, static_cast<uint32_t>(wav.size()), 0, 0), 0u);
    std::vector<uint8_t> junk(4000, 0x33);
    EXPECT_EQ(BASS_MusicLoad(1, junk.data(), 0, 4000, 0, 0), 0u);
    EXPECT_EQ(BASS_MusicLoad(0, (Dir + "/missing.mod").c_str(), 0, 0, 0, 0), 0u);

    EXPECT_NE(BASS_SamplePlay(music), 0u);
    EXPECT_EQ(BASS_SampleFree(music), 0); // a music is no sample
    EXPECT_NE(BASS_MusicFree(music), 0);  // while it plays
    EXPECT_EQ(BASS_MusicFree(music), 0);
    EXPECT_EQ(BASS_SamplePlay(music), 0u);
}

// The disk output stays silent while nothing plays, so a loud file proves the sound went out.
TEST_F(Sound, SampleAndMusicReachTheOutput) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    std::string wavPath = WriteFile(Dir + "/tone.wav", ToneWav(200));
    std::string modPath = WriteFile(Dir + "/tune.mod", SquareWaveModule());

    ASSERT_TRUE(Open());
    SDL_Delay(200);
    ASSERT_NE(BASS_Free(), 0);
    EXPECT_GT(fs::file_size(Output), 0u);
    EXPECT_EQ(Loudest(Output), 0);

    ASSERT_TRUE(Open());
    EXPECT_NE(BASS_SamplePlay(BASS_SampleLoad(0, wavPath.c_str(), 0, 0, 3, BASS_SAMPLE_LOOP)), 0u);
    WaitForLoudOutput(3000);
    ASSERT_NE(BASS_Free(), 0);
    EXPECT_GT(Loudest(Output), 3000);

    ASSERT_TRUE(Open());
    EXPECT_NE(BASS_SamplePlay(BASS_MusicLoad(0, modPath.c_str(), 0, 0, BASS_SAMPLE_LOOP, 0)), 0u);
    WaitForLoudOutput(1000);
    ASSERT_NE(BASS_Free(), 0);
    EXPECT_GT(Loudest(Output), 1000);
}

// The Game's tune is an MP3, made with LAME; the encoder is part of the build's tools.
TEST_F(Sound, DecodesMp3) {
    std::string mp3Path = Mp3Tone("tone", 500);
    ASSERT_FALSE(mp3Path.empty()) << "lame is installed by scripts/setup.sh";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    ASSERT_TRUE(Open());
    uint32_t sample = BASS_SampleLoad(0, mp3Path.c_str(), 0, 0, 3, BASS_SAMPLE_LOOP);
    ASSERT_NE(sample, 0u);
    EXPECT_NE(BASS_SamplePlay(sample), 0u);
    WaitForLoudOutput(3000);
    ASSERT_NE(BASS_Free(), 0);
    EXPECT_GT(Loudest(Output), 3000);
}

// MP1 and MP2 start with frames that SDL_mixer does not recognise by themselves.
TEST_F(Sound, DecodesMpegLayersOneAndTwo) {
    ASSERT_TRUE(Open());
    for (int layer : {1, 2}) {
        std::string path =
            WriteFile(Dir + "/silence.mp" + std::to_string(layer), SilentMpegFrames(layer));
        uint32_t sample = BASS_SampleLoad(0, path.c_str(), 0, 0, 1, 0);
        EXPECT_NE(sample, 0u) << "layer " << layer;
        EXPECT_NE(BASS_SamplePlay(sample), 0u) << "layer " << layer;
    }
}

// A long sample is decoded as it plays, from bytes kept at load: the loader may delete its file.
TEST_F(Sound, LongSamplePlaysOnceAtATimeAfterItsFileIsGone) {
    const int longMs = static_cast<int>(LongSampleSeconds * 1000) + 1000;
    std::string mp3Path = Mp3Tone("long", longMs);
    ASSERT_FALSE(mp3Path.empty()) << "lame is installed by scripts/setup.sh";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    ASSERT_TRUE(Open());
    uint32_t sample = BASS_SampleLoad(0, mp3Path.c_str(), 0, 0, 3, BASS_SAMPLE_LOOP);
    ASSERT_NE(sample, 0u);
    fs::remove(mp3Path);
    EXPECT_NE(BASS_SamplePlay(sample), 0u);
    EXPECT_EQ(BASS_SamplePlay(sample), 0u); // the music player is busy with it
    EXPECT_NE(Mix_PlayingMusic(), 0);
    WaitForLoudOutput(3000);
    EXPECT_NE(BASS_SampleFree(sample), 0);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    ASSERT_NE(BASS_Free(), 0);
    EXPECT_GT(Loudest(Output), 3000);
}
