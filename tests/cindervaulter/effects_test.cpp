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

namespace {

using Effects = ScratchFolderTest;

// The loudest 16-bit sample SDL's disk driver wrote.
int Loudest(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    int loudest = 0;
    for (int16_t sample; in.read(reinterpret_cast<char*>(&sample), 2);)
        loudest = std::max(loudest, std::abs(int(sample)));
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
    CloseSound();
}

} // namespace
