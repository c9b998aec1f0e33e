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
