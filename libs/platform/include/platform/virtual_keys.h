// Win32 virtual-key codes of SDL keys, one table for both SDL layers. Each row names a key twice:
// by its place on the keyboard (scancode) and by what a US layout types on it (keycode), so a
// layer looks keys up by place or by layout. The keys both games read (Space, Enter, Esc, the
// arrows) type no character, and the two lookups agree on them under every layout.
#pragma once

#include <SDL_keycode.h>
#include <SDL_scancode.h>

#include <cstdint>

// Count keys in a row whose scancodes, keycodes and virtual-key codes all run up by one.
struct KeyRun {
    SDL_Scancode Scancode;
    SDL_Keycode Keycode;
    uint8_t VirtualKey;
    uint8_t Count = 1;
};

inline constexpr KeyRun KeyRuns[] = {
    {SDL_SCANCODE_A, SDLK_a, 'A', 26},
    // SDL counts the digit row 1 to 9, then 0, and the keypad likewise.
    {SDL_SCANCODE_1, SDLK_1, '1', 9},
    {SDL_SCANCODE_0, SDLK_0, '0'},
    {SDL_SCANCODE_KP_1, SDLK_KP_1, 0x61, 9},
    {SDL_SCANCODE_KP_0, SDLK_KP_0, 0x60},
    {SDL_SCANCODE_F1, SDLK_F1, 0x70, 12},
    {SDL_SCANCODE_F13, SDLK_F13, 0x7C, 12},
    {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 0x08},
    {SDL_SCANCODE_TAB, SDLK_TAB, 0x09},
    {SDL_SCANCODE_RETURN, SDLK_RETURN, 0x0D},
    {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 0x0D},
    {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 0x10},
    {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, 0x10},
    {SDL_SCANCODE_LCTRL, SDLK_LCTRL, 0x11},
    {SDL_SCANCODE_RCTRL, SDLK_RCTRL, 0x11},
    {SDL_SCANCODE_LALT, SDLK_LALT, 0x12},
    {SDL_SCANCODE_RALT, SDLK_RALT, 0x12},
    {SDL_SCANCODE_PAUSE, SDLK_PAUSE, 0x13},
    {SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, 0x14},
    {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 0x1B},
    {SDL_SCANCODE_SPACE, SDLK_SPACE, 0x20},
    {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, 0x21},
    {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, 0x22},
    {SDL_SCANCODE_END, SDLK_END, 0x23},
    {SDL_SCANCODE_HOME, SDLK_HOME, 0x24},
    {SDL_SCANCODE_LEFT, SDLK_LEFT, 0x25},
    {SDL_SCANCODE_UP, SDLK_UP, 0x26},
    {SDL_SCANCODE_RIGHT, SDLK_RIGHT, 0x27},
    {SDL_SCANCODE_DOWN, SDLK_DOWN, 0x28},
    {SDL_SCANCODE_PRINTSCREEN, SDLK_PRINTSCREEN, 0x2C},
    {SDL_SCANCODE_INSERT, SDLK_INSERT, 0x2D},
    {SDL_SCANCODE_DELETE, SDLK_DELETE, 0x2E},
    {SDL_SCANCODE_LGUI, SDLK_LGUI, 0x5B},
    {SDL_SCANCODE_RGUI, SDLK_RGUI, 0x5C},
    {SDL_SCANCODE_APPLICATION, SDLK_APPLICATION, 0x5D},
    {SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, 0x6A},
    {SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, 0x6B},
    {SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, 0x6D},
    {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 0x6E},
    {SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, 0x6F},
    {SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, 0x90},
    {SDL_SCANCODE_SCROLLLOCK, SDLK_SCROLLLOCK, 0x91},
    // The punctuation keys, Windows' OEM codes as a US keyboard reports them.
    {SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, 0xBA},
    {SDL_SCANCODE_EQUALS, SDLK_EQUALS, 0xBB},
    {SDL_SCANCODE_COMMA, SDLK_COMMA, 0xBC},
    {SDL_SCANCODE_MINUS, SDLK_MINUS, 0xBD},
    {SDL_SCANCODE_PERIOD, SDLK_PERIOD, 0xBE},
    {SDL_SCANCODE_SLASH, SDLK_SLASH, 0xBF},
    {SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, 0xC0},
    {SDL_SCANCODE_LEFTBRACKET, SDLK_LEFTBRACKET, 0xDB},
    {SDL_SCANCODE_BACKSLASH, SDLK_BACKSLASH, 0xDC},
    {SDL_SCANCODE_RIGHTBRACKET, SDLK_RIGHTBRACKET, 0xDD},
    {SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE, 0xDE},
};

// The virtual-key code of the key whose code, as `CodeOf` reads a row, is `code`; 0 for none.
template <typename CodeOf> constexpr uint8_t FindVirtualKey(int32_t code, CodeOf codeOf) {
    for (const KeyRun& run : KeyRuns) {
        const int32_t first = codeOf(run);
        if (code >= first && code < first + run.Count)
            return static_cast<uint8_t>(run.VirtualKey + (code - first));
    }
    return 0;
}

// By place: a key keeps its code whatever the layout types on it.
constexpr uint8_t VirtualKeyFromScancode(int32_t scancode) {
    return FindVirtualKey(scancode, [](const KeyRun& run) { return int32_t(run.Scancode); });
}

// By layout: a key gives the code of what the layout types on it, as Windows does for letters and
// punctuation on Latin layouts; a key typing a character the table lacks gives 0.
constexpr uint8_t VirtualKeyFromKeycode(SDL_Keycode keycode) {
    return FindVirtualKey(keycode, [](const KeyRun& run) { return int32_t(run.Keycode); });
}
