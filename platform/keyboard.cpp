#include <SDL.h>

#include <cstring>  // memset

#include "platform/platform.h"

namespace {

struct KeyMapping {
    SDL_Scancode scancode;
    KeyCode code;
};

// SDL's scancodes name a key's place on the keyboard, as our codes do, so the one table holds for
// every layout.
constexpr KeyMapping kKeyTable[] = {
    {SDL_SCANCODE_ESCAPE, kKeyEscape},
    {SDL_SCANCODE_F1, kKeyF1},
    {SDL_SCANCODE_C, kKeyC},
    {SDL_SCANCODE_D, kKeyD},
    {SDL_SCANCODE_F, kKeyF},
    {SDL_SCANCODE_G, kKeyG},
    {SDL_SCANCODE_PAGEUP, kKeyPageUp},
    {SDL_SCANCODE_PAGEDOWN, kKeyPageDown},
    {SDL_SCANCODE_END, kKeyEnd},
    {SDL_SCANCODE_UP, kKeyArrowUp},
    {SDL_SCANCODE_DOWN, kKeyArrowDown},
    {SDL_SCANCODE_LEFT, kKeyArrowLeft},
    {SDL_SCANCODE_RIGHT, kKeyArrowRight},
};

bool ReadSdlKeyboard(SDL_Window* window, uint8_t keys[256]) {
    std::memset(keys, 0, 256);
    // A window in the background must not see the keys typed into another one.
    if (SDL_GetKeyboardFocus() != window) return false;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    for (const KeyMapping& mapping : kKeyTable) {
        if (mapping.scancode < count && state[mapping.scancode] != 0) {
            keys[mapping.code] = kKeyDownBit;
        }
    }
    return true;
}

KeyboardReader testReader = nullptr;  // a test's replacement, or null

}  // namespace

Input::Input() : window(nullptr) {
    std::memset(keys, 0, sizeof keys);
}

int32_t Input::InitInput(const GLWindow& glWindow) {
    // A failed call leaves the record closed, so no read ever follows a window that has gone.
    window = SDL_WasInit(SDL_INIT_VIDEO) != 0 ? glWindow.window : nullptr;
    return window != nullptr ? 1 : 0;
}

bool Input::ReadKeyboard() {
    if (window == nullptr) {
        std::memset(keys, 0, sizeof keys);
        return false;
    }
    if (testReader != nullptr) return testReader(keys);
    return ReadSdlKeyboard(static_cast<SDL_Window*>(window), keys);
}

void Input::ShutdownInput() {
    window = nullptr;
}

KeyboardReader SetKeyboardReader(KeyboardReader reader) {
    const KeyboardReader previous = testReader;
    testReader = reader;
    return previous;
}
