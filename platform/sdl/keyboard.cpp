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

// The keyboard as the window's events tell it, kept between two reads. The state alone would lose
// a key pressed and released between two reads, as a quick tap is on a slow frame; every press is
// remembered until the next read takes it.
struct Keyboard {
    Uint32 windowId = 0;  // the window whose keys count; 0 while closed
    bool focused = false;
    bool held[256] = {};     // down now, by our codes
    bool pressed[256] = {};  // went down since the last read
};
Keyboard keyboard;

KeyboardReader testReader = nullptr;  // a test's replacement, or null

int CodeOf(SDL_Scancode scancode) {
    for (const KeyMapping& mapping : kKeyTable) {
        if (mapping.scancode == scancode) return mapping.code;
    }
    return -1;
}

void ForgetKeys() {
    std::memset(keyboard.held, 0, sizeof keyboard.held);
    std::memset(keyboard.pressed, 0, sizeof keyboard.pressed);
}

// Sees every event as SDL queues it, before the frame loop takes it off the queue one pass at a
// time.
int WatchKeyboard(void*, SDL_Event* event) {
    if (event->type == SDL_KEYDOWN || event->type == SDL_KEYUP) {
        const int code = CodeOf(event->key.keysym.scancode);
        if (!keyboard.focused || event->key.windowID != keyboard.windowId || code < 0) return 0;
        keyboard.held[code] = event->type == SDL_KEYDOWN;
        if (event->type == SDL_KEYDOWN) keyboard.pressed[code] = true;
    } else if (event->type == SDL_WINDOWEVENT && event->window.windowID == keyboard.windowId) {
        // Keys typed elsewhere are not ours. Coming back, the platform reports the keys that are
        // down then after the focus event.
        const Uint8 change = event->window.event;
        if (change == SDL_WINDOWEVENT_FOCUS_GAINED || change == SDL_WINDOWEVENT_FOCUS_LOST) {
            keyboard.focused = change == SDL_WINDOWEVENT_FOCUS_GAINED;
            ForgetKeys();
        }
    }
    return 0;
}

}  // namespace

Input::Input() : window(nullptr) {
    std::memset(keys, 0, sizeof keys);
}

int32_t Input::InitInput(const GLWindow& glWindow) {
    SDL_DelEventWatch(WatchKeyboard, nullptr);
    // A failed call leaves the record closed, so no read ever follows a window that has gone.
    window = SDL_WasInit(SDL_INIT_VIDEO) != 0 ? glWindow.window : nullptr;
    if (window == nullptr) return 0;
    SDL_Window* const native = static_cast<SDL_Window*>(window);
    keyboard.windowId = SDL_GetWindowID(native);
    keyboard.focused = SDL_GetKeyboardFocus() == native;
    ForgetKeys();
    // Keys already down count as held: F1 is still down after the switch it started.
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    for (const KeyMapping& mapping : kKeyTable) {
        keyboard.held[mapping.code] = mapping.scancode < count && state[mapping.scancode] != 0;
    }
    SDL_AddEventWatch(WatchKeyboard, nullptr);
    return 1;
}

bool Input::ReadKeyboard() {
    std::memset(keys, 0, sizeof keys);
    if (window == nullptr) return false;
    if (testReader != nullptr) return testReader(keys);
    const bool focused = keyboard.focused;
    for (int code = 0; code < 256; ++code) {
        if (focused && (keyboard.held[code] || keyboard.pressed[code])) keys[code] = kKeyDownBit;
        keyboard.pressed[code] = false;
    }
    return focused;
}

bool Input::HasFocus() const {
    return window != nullptr && keyboard.focused;
}

void Input::ShutdownInput() {
    if (window != nullptr) SDL_DelEventWatch(WatchKeyboard, nullptr);
    keyboard = Keyboard();
    window = nullptr;
}

KeyboardReader SetKeyboardReader(KeyboardReader reader) {
    const KeyboardReader previous = testReader;
    testReader = reader;
    return previous;
}
