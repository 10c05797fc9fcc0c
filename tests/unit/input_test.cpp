// Guards the keyboard: the one table from the platform's keys to the device key codes, and a
// read that never reports keys typed elsewhere.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "platform/input.h"
#include "platform/key_codes.h"

// Catches a table row copied without its code changed (two keys sharing one code, so one key
// acts as another), a key setting two codes or a byte other than the down bit, a standard
// keyboard's keys missing, a binding key that reaches the controls under another code, and a
// read past the end of a platform state shorter than the table.
TEST(Input, KeyTableIsOneToOneAndMapsEveryBindingKey) {
    std::map<int, int> scancodeOf;  // code -> the one scancode that sets it
    uint8_t keys[256];
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        std::vector<uint8_t> state(SDL_NUM_SCANCODES, 0);
        state[scancode] = 1;
        MapKeyboardState(state.data(), SDL_NUM_SCANCODES, keys);
        ASSERT_GE(std::count(keys, keys + 256, 0), 255) << "scancode " << scancode;
        for (int code = 0; code < 256; ++code) {
            if (keys[code] == 0) continue;
            EXPECT_EQ(keys[code], kKeyDown) << "code " << code;
            EXPECT_TRUE(scancodeOf.emplace(code, scancode).second) << "code " << code;
        }
    }
    EXPECT_GE(scancodeOf.size(), 104u);  // a full-size keyboard
    EXPECT_EQ(scancodeOf.count(0), 0u);  // code 0 names no key
    const std::pair<int, SDL_Scancode> bindings[] = {
        {0x01, SDL_SCANCODE_ESCAPE}, {0x3B, SDL_SCANCODE_F1},       {0x2E, SDL_SCANCODE_C},
        {0x20, SDL_SCANCODE_D},      {0x21, SDL_SCANCODE_F},        {0x22, SDL_SCANCODE_G},
        {0xC9, SDL_SCANCODE_PAGEUP}, {0xD1, SDL_SCANCODE_PAGEDOWN}, {0xCF, SDL_SCANCODE_END},
        {0xC8, SDL_SCANCODE_UP},     {0xD0, SDL_SCANCODE_DOWN},     {0xCB, SDL_SCANCODE_LEFT},
        {0xCD, SDL_SCANCODE_RIGHT},
    };
    for (const auto& [code, scancode] : bindings) EXPECT_EQ(scancodeOf[code], scancode) << code;

    const std::vector<uint8_t> shortState(SDL_SCANCODE_D + 1, 1);  // ASan sees a read past it
    MapKeyboardState(shortState.data(), static_cast<int>(shortState.size()), keys);
    EXPECT_EQ(std::make_pair(keys[DIK_D], keys[DIK_F]), std::make_pair(kKeyDown, uint8_t{0}));
}

// Catches a read on a closed record that keeps stale keys, a keyboard opened without a window
// or after the platform's video has gone, a window without the keyboard focus reading keys
// typed elsewhere, and a second shutdown that fails.
TEST(Input, ReadsNothingWithoutAFocusedWindow) {
    Input input;
    input.keys[DIK_ESCAPE] = kKeyDown;
    EXPECT_FALSE(input.GetDeviceState());
    EXPECT_EQ(std::count(input.keys, input.keys + 256, 0), 256);

    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* const hidden = SDL_CreateWindow("hidden", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
    EXPECT_EQ(input.InitInput(nullptr), 0);
    ASSERT_EQ(input.InitInput(hidden), 1);  // a hidden window never has the keyboard
    input.keys[DIK_ESCAPE] = kKeyDown;
    EXPECT_FALSE(input.GetDeviceState());
    EXPECT_EQ(std::count(input.keys, input.keys + 256, 0), 256);
    input.ShutdownInput();
    input.ShutdownInput();
    EXPECT_EQ(input.window, nullptr);
    SDL_DestroyWindow(hidden);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    EXPECT_EQ(input.InitInput(hidden), 0);
}
