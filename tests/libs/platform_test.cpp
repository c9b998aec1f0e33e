// The platform tables both SDL layers compile in: Windows-1251 and the virtual-key codes.
#include "cp1251_reference.h"
#include "platform/cp1251.h"
#include "platform/virtual_keys.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

TEST(Cp1251, AgreesWithTheSystemConverterOnEveryByte) {
    for (int byte = 0; byte < 256; ++byte)
        EXPECT_EQ(Cp1251ToUnicode(uint8_t(byte)), SystemCp1251ToUnicode(uint8_t(byte))) << byte;
}

// The keys the games read, the ends of each run, and keys only one of the old tables had.
TEST(VirtualKeys, AgreeByPlaceAndByLayoutWithSdlsUsLayout) {
    struct Case {
        SDL_Scancode Scancode;
        int Code;
    };
    for (Case key : {Case{SDL_SCANCODE_SPACE, 0x20}, {SDL_SCANCODE_RETURN, 0x0D},
                     {SDL_SCANCODE_KP_ENTER, 0x0D},  {SDL_SCANCODE_ESCAPE, 0x1B},
                     {SDL_SCANCODE_LEFT, 0x25},      {SDL_SCANCODE_UP, 0x26},
                     {SDL_SCANCODE_RIGHT, 0x27},     {SDL_SCANCODE_DOWN, 0x28},
                     {SDL_SCANCODE_A, 'A'},          {SDL_SCANCODE_Z, 'Z'},
                     {SDL_SCANCODE_1, '1'},          {SDL_SCANCODE_9, '9'},
                     {SDL_SCANCODE_0, '0'},          {SDL_SCANCODE_KP_0, 0x60},
                     {SDL_SCANCODE_KP_9, 0x69},      {SDL_SCANCODE_F1, 0x70},
                     {SDL_SCANCODE_F12, 0x7B},       {SDL_SCANCODE_F13, 0x7C},
                     {SDL_SCANCODE_F24, 0x87},       {SDL_SCANCODE_LALT, 0x12},
                     {SDL_SCANCODE_SEMICOLON, 0xBA}, {SDL_SCANCODE_APOSTROPHE, 0xDE},
                     {SDL_SCANCODE_UNKNOWN, 0},      {SDL_SCANCODE_KP_EQUALS, 0}})
        EXPECT_EQ(VirtualKeyFromScancode(key.Scancode), key.Code)
            << SDL_GetScancodeName(key.Scancode);

    // Without a keyboard of its own the offscreen driver keeps SDL's US layout, so looking every
    // key up by what it types must give what looking it up by place gives.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        const SDL_Keycode keycode = SDL_GetKeyFromScancode(SDL_Scancode(scancode));
        EXPECT_EQ(VirtualKeyFromKeycode(keycode), VirtualKeyFromScancode(scancode))
            << SDL_GetScancodeName(SDL_Scancode(scancode));
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
