// Guards the keyboard read: never keys typed elsewhere, never stale keys.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>

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
