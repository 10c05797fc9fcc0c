// Guards the keyboard: the one table from the platform's keys to the device key codes, and a
// read that never reports keys typed elsewhere.
#include <SDL.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/gl_window.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "platform/window_procedure.h"
#include "tests/unit/message_box_recorder.h"

namespace {

std::vector<uint8_t> StateWithDown(SDL_Scancode scancode) {
    std::vector<uint8_t> state(SDL_NUM_SCANCODES, 0);
    state[scancode] = 1;
    return state;
}

int CountDown(const uint8_t keys[256]) {
    int down = 0;
    for (int i = 0; i < 256; ++i) down += keys[i] != 0 ? 1 : 0;
    return down;
}

}  // namespace

// Catches a binding key that reaches the controls under another code (or not at all), and a
// key byte that is set to something other than the down bit.
TEST(Input, EveryBindingKeyMapsToItsCode) {
    const struct {
        SDL_Scancode scancode;
        uint8_t code;
    } bindings[] = {
        {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_F1, 0x3B},       {SDL_SCANCODE_C, 0x2E},
        {SDL_SCANCODE_D, 0x20},      {SDL_SCANCODE_F, 0x21},        {SDL_SCANCODE_G, 0x22},
        {SDL_SCANCODE_PAGEUP, 0xC9}, {SDL_SCANCODE_PAGEDOWN, 0xD1}, {SDL_SCANCODE_END, 0xCF},
        {SDL_SCANCODE_UP, 0xC8},     {SDL_SCANCODE_DOWN, 0xD0},     {SDL_SCANCODE_LEFT, 0xCB},
        {SDL_SCANCODE_RIGHT, 0xCD},
    };
    uint8_t keys[256];
    for (const auto& binding : bindings) {
        const std::vector<uint8_t> state = StateWithDown(binding.scancode);
        MapKeyboardState(state.data(), static_cast<int>(state.size()), keys);
        EXPECT_EQ(keys[binding.code], kKeyDown) << SDL_GetScancodeName(binding.scancode);
        EXPECT_EQ(CountDown(keys), 1) << SDL_GetScancodeName(binding.scancode);
    }
}

// Catches a table row copied without its code changed (two keys sharing one code, so one key
// acts as another) and a standard keyboard's keys missing from the table.
TEST(Input, TableIsOneToOneOverAStandardKeyboard) {
    std::set<int> codes;
    uint8_t keys[256];
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        const std::vector<uint8_t> state = StateWithDown(static_cast<SDL_Scancode>(scancode));
        MapKeyboardState(state.data(), static_cast<int>(state.size()), keys);
        const int down = CountDown(keys);
        ASSERT_LE(down, 1) << "scancode " << scancode;
        for (int code = 0; down == 1 && code < 256; ++code) {
            if (keys[code] != 0) {
                EXPECT_TRUE(codes.insert(code).second) << "code " << code;
            }
        }
    }
    EXPECT_GE(codes.size(), 104u);  // a full-size keyboard
    EXPECT_EQ(codes.count(0), 0u);  // code 0 names no key
}

// Catches a read past the end of a platform state shorter than the table (ASan sees it).
TEST(Input, ShortPlatformStateIsReadOnlyToItsEnd) {
    std::vector<uint8_t> state(SDL_SCANCODE_D + 1, 1);
    uint8_t keys[256];
    MapKeyboardState(state.data(), static_cast<int>(state.size()), keys);
    EXPECT_EQ(keys[DIK_D], kKeyDown);
    EXPECT_EQ(keys[DIK_F], 0);
    MapKeyboardState(nullptr, 0, keys);
    EXPECT_EQ(CountDown(keys), 0);
}

// Catches a keyboard opened without a window, a read on a closed record that keeps stale
// keys, a second shutdown that fails, and a window without the keyboard focus reading keys.
TEST(Input, ReadsNothingWithoutAFocusedWindow) {
    Input input;
    EXPECT_EQ(CountDown(input.keys), 0);
    EXPECT_EQ(input.InitInput(nullptr), 0);
    EXPECT_EQ(input.window, nullptr);
    input.keys[DIK_ESCAPE] = kKeyDown;
    EXPECT_FALSE(input.GetDeviceState());
    EXPECT_EQ(CountDown(input.keys), 0);

    GLWindow glWindow;
    glWindow.windowProcedure = WndProc;
    ASSERT_TRUE(glWindow.CreateWindowAndContext(640, 480, 16, "Quorvane")) << RecordedBoxesText();
    ASSERT_EQ(input.InitInput(glWindow.window), 1);
    input.keys[DIK_ESCAPE] = kKeyDown;
    const bool focused = SDL_GetKeyboardFocus() == glWindow.window;
    EXPECT_EQ(input.GetDeviceState(), focused);
    EXPECT_EQ(CountDown(input.keys), 0);  // nobody types during the test

    input.ShutdownInput();
    input.ShutdownInput();
    EXPECT_EQ(input.window, nullptr);
    glWindow.DestroyWindowAndContext();
    EXPECT_EQ(input.InitInput(glWindow.window), 0);  // the window has gone
}
