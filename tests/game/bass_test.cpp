// The sound binding without a usable library: the game must see "no sound", never a crash.
#include "sound/bass.h"

#include <gtest/gtest.h>

TEST(SoundBinding, MissingLibraryLeavesEverythingUnset) {
    EXPECT_FALSE(BindBassLibrary("/nonexistent/libbass.so"));
    EXPECT_FALSE(IsBassLoaded());
    EXPECT_EQ(BassEntryPointCount(), 0);
    EXPECT_EQ(BASS_Init, nullptr);
}

TEST(SoundBinding, LibraryWithoutTheEntryPointsIsNotUsable) {
    ASSERT_TRUE(BindBassLibrary("libm.so.6"));
    EXPECT_FALSE(IsBassLoaded());
    EXPECT_EQ(BassEntryPointCount(), 0);
    UnbindBassLibrary();
    EXPECT_FALSE(IsBassLoaded());
}

// The library the build puts beside the game exports the seven calls, and they answer through the
// binding's pointers; without any one of them the library is of no use.
TEST(SoundBinding, TheBuiltLibraryHasEveryCallTheGameMakes) {
    ASSERT_TRUE(BindBassLibrary(GAME_RUN_DIR "/libbass.so"));
    EXPECT_TRUE(IsBassLoaded());
    EXPECT_EQ(BassEntryPointCount(), 7);
    ASSERT_NE(BASS_Init(1, 44100, 0, nullptr, nullptr), 0);
    EXPECT_EQ(BASS_SamplePlay(12345), 0u);
    EXPECT_NE(BASS_Free(), 0);
    EXPECT_EQ(BASS_Free(), 0);

    auto loadedWithout = [](auto& entryPoint) {
        auto kept = entryPoint;
        entryPoint = nullptr;
        bool loaded = IsBassLoaded();
        entryPoint = kept;
        return loaded;
    };
    EXPECT_FALSE(loadedWithout(BASS_Init));
    EXPECT_FALSE(loadedWithout(BASS_Free));
    EXPECT_FALSE(loadedWithout(BASS_SampleLoad));
    EXPECT_FALSE(loadedWithout(BASS_SamplePlay));
    EXPECT_FALSE(loadedWithout(BASS_SampleFree));
    EXPECT_FALSE(loadedWithout(BASS_MusicLoad));
    EXPECT_FALSE(loadedWithout(BASS_MusicFree));
    EXPECT_TRUE(IsBassLoaded());
    UnbindBassLibrary();
    EXPECT_FALSE(IsBassLoaded());
}
