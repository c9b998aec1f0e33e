// The sound effects: the synthesized files play through SDL_mixer and reach the audio device (SDL's
// disk driver writes what it plays to a file), muting silences them, and without an audio device
// the game opens no sound and every call is harmless.
#include "scratch_folder.h"
#include "sound.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using Effects = ScratchFolderTest;

// The loudest 16-bit sample SDL's disk driver wrote.
int Loudest(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    int loudest = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const int16_t sample = int16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8);
        loudest = std::max(loudest, std::abs(int(sample)));
    }
    return loudest;
}

// Plays the effect (or not) and returns how loud the device's output was.
int PlayedLoudness(TEffect effect, const std::string& out) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    EXPECT_TRUE(OpenSound(CINDERVAULTER_RUN_DIR "/sounds"));
    PlayEffect(effect);
    SDL_Delay(400);
    CloseSound();
    return Loudest(out);
}

TEST_F(Effects, EveryEffectIsHeardUnlessMuted) {
    for (int e = 0; e < EffectCount; ++e)
        EXPECT_GT(PlayedLoudness(TEffect(e), Dir + "/out.raw"), 3000) << EffectFiles[e];
    ASSERT_TRUE(ToggleMute());
    EXPECT_EQ(PlayedLoudness(efPickup, Dir + "/muted.raw"), 0);
    EXPECT_FALSE(ToggleMute());
}

TEST_F(Effects, WithoutAnAudioDeviceTheGameIsSilentAndCarriesOn) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(OpenSound(CINDERVAULTER_RUN_DIR "/sounds"));
    PlayEffect(efFinish);
    ToggleMute();
    ToggleMute();
    CloseSound();
    EXPECT_FALSE(SoundMuted());
}

} // namespace
