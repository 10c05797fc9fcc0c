#include "platform/input.h"

#include <SDL.h>

#include <cstring>  // memset

#include "platform/key_codes.h"

namespace {

bool ReadSdlKeyboard(SDL_Window* window, uint8_t keys[256]) {
    // A window in the background must not see the keys typed into another one.
    if (SDL_GetKeyboardFocus() != window) {
        std::memset(keys, 0, 256);
        return false;
    }
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    MapKeyboardState(state, count, keys);
    return true;
}

KeyboardReader reader = ReadSdlKeyboard;

}  // namespace

Input::Input() : window(nullptr) {
    std::memset(keys, 0, sizeof keys);
}

int32_t Input::InitInput(SDL_Window* target) {
    // A failed call leaves the record closed, so no read ever follows a window that has gone.
    window = SDL_WasInit(SDL_INIT_VIDEO) != 0 ? target : nullptr;
    return window != nullptr ? 1 : 0;
}

bool Input::GetDeviceState() {
    if (window == nullptr) {
        std::memset(keys, 0, sizeof keys);
        return false;
    }
    return reader(window, keys);
}

void Input::ShutdownInput() {
    window = nullptr;
}

KeyboardReader SetKeyboardReader(KeyboardReader replacement) {
    const KeyboardReader previous = reader;
    reader = replacement != nullptr ? replacement : ReadSdlKeyboard;
    return previous;
}
