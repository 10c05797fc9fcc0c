// The keyboard as the controls read it: the state of all keys at once, once per frame, indexed
// by the key codes of platform/key_codes.h, and the cursor position of the last frame.
//
// Lifecycle: constructor, InitInput with the window, GetDeviceState once per frame,
// ShutdownInput.
#pragma once

#include <cstdint>

#include "platform/cursor.h"

struct SDL_Window;

struct Input {
    SDL_Window* window;  // the window whose keyboard is read; null while closed
    Point cursor;        // written and read by the controls each frame
    uint8_t keys[256];   // the last read: kKeyDown set in the byte of each key that was down

    Input();  // closed, all keys up

    // Binds the keyboard to `window`. 1 on success; 0 when `window` is null or the platform's
    // video is not running, and the record is then closed.
    int32_t InitInput(SDL_Window* window);
    // Fills `keys` with the state of every key at this moment. While the window does not have
    // the keyboard focus, or the record is closed, all keys read up and the result is false.
    bool GetDeviceState();
    // Closes the record; harmless when it is closed already.
    void ShutdownInput();
};

// Tests replace the keyboard with a reader of their own: it fills all 256 bytes of `keys`
// for `window` and returns whether the window had the keyboard.
using KeyboardReader = bool (*)(SDL_Window* window, uint8_t keys[256]);
// Installs `reader` (null: the platform's keyboard again) and returns the one it replaces.
KeyboardReader SetKeyboardReader(KeyboardReader reader);
