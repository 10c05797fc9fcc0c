// Guards the keyboard read: never keys typed elsewhere, never stale keys.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/platform.h"

// Catches a read on a closed record that keeps stale keys, a keyboard opened without a window or
// after the platform's video has gone, a window without the keyboard focus reading keys typed
// elsewhere, and a second shutdown that fails.
TEST(Input, ReadsNothingWithoutAFocusedWindow) {
    Input input;
    input.keys[kKeyEscape] = kKeyDownBit;
    EXPECT_FALSE(input.ReadKeyboard());
    EXPECT_EQ(std::count(input.keys, input.keys + 256, 0), 256);

    GLWindow hidden;  // a window that never has the keyboard, on any driver
    EXPECT_EQ(input.InitInput(hidden), 0);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    hidden.window = SDL_CreateWindow("hidden", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
    ASSERT_EQ(input.InitInput(hidden), 1);
    input.keys[kKeyEscape] = kKeyDownBit;
    EXPECT_FALSE(input.ReadKeyboard());
    EXPECT_EQ(std::count(input.keys, input.keys + 256, 0), 256);
    input.ShutdownInput();
    input.ShutdownInput();
    EXPECT_EQ(input.window, nullptr);
    SDL_DestroyWindow(static_cast<SDL_Window*>(hidden.window));
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    EXPECT_EQ(input.InitInput(hidden), 0);  // the platform's video has gone
    hidden.window = nullptr;
}

namespace {

void Push(Uint32 type, Uint32 windowId, int detail) {
    SDL_Event event = {};
    event.type = type;
    if (type == SDL_WINDOWEVENT) {
        event.window.windowID = windowId;
        event.window.event = static_cast<Uint8>(detail);
    } else {
        event.key.windowID = windowId;
        event.key.keysym.scancode = static_cast<SDL_Scancode>(detail);
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    }
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

}  // namespace

// Catches a tap between two reads (shorter than a frame) lost, a tap read down twice, a held key
// not down in every read, keys of another window or of a window without the focus read as ours,
// a key outside the bindings given a code, and keys held at focus loss left down.
TEST(Input, EveryPressBetweenTwoReadsIsSeenOnce) {
    GLWindow glWindow;
    ASSERT_TRUE(glWindow.CreateWindowAndContext(64, 64, 16, "keys"));
    Input input;
    ASSERT_EQ(input.InitInput(glWindow), 1);
    const Uint32 id = SDL_GetWindowID(static_cast<SDL_Window*>(glWindow.window));
    const auto down = [&input] {
        std::vector<int> codes;
        input.ReadKeyboard();
        for (int code = 0; code < 256; ++code) {
            if (input.keys[code] != 0) codes.push_back(code);
        }
        return codes;
    };
    Push(SDL_WINDOWEVENT, id, SDL_WINDOWEVENT_FOCUS_LOST);  // whatever a real display did
    Push(SDL_KEYDOWN, id, SDL_SCANCODE_ESCAPE);
    EXPECT_FALSE(input.HasFocus());
    EXPECT_EQ(down(), std::vector<int>{});
    Push(SDL_WINDOWEVENT, id, SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_TRUE(input.HasFocus());
    Push(SDL_KEYDOWN, id, SDL_SCANCODE_F1);
    Push(SDL_KEYUP, id, SDL_SCANCODE_F1);
    Push(SDL_KEYDOWN, id + 1, SDL_SCANCODE_G);  // another window's
    Push(SDL_KEYDOWN, id, SDL_SCANCODE_Q);
    Push(SDL_KEYDOWN, id, SDL_SCANCODE_UP);
    EXPECT_EQ(down(), (std::vector<int>{kKeyF1, kKeyArrowUp}));
    EXPECT_EQ(down(), std::vector<int>{kKeyArrowUp});
    Push(SDL_KEYUP, id, SDL_SCANCODE_UP);
    EXPECT_EQ(down(), std::vector<int>{});
    Push(SDL_KEYDOWN, id, SDL_SCANCODE_END);
    Push(SDL_WINDOWEVENT, id, SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(down(), std::vector<int>{});
    Push(SDL_WINDOWEVENT, id, SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(down(), std::vector<int>{});
    input.ShutdownInput();
    glWindow.DestroyWindowAndContext();
}
