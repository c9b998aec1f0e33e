// The main of every test program: tests draw offscreen and play sound into nothing unless the
// caller's environment says otherwise.
#include <gtest/gtest.h>

#include <cstdlib>

extern "C" const char* __ubsan_default_options() {
    return "print_stacktrace=1";
}

// Leaks inside the system's graphics, font and audio stacks are not ours to fix.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libGLX\nleak:libGL.so\nleak:libEGL\nleak:libgallium\nleak:swrast_dri\n"
           "leak:libLLVM\nleak:libfontconfig\nleak:libSDL2\nleak:libdbus\nleak:libX11\n";
}

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
