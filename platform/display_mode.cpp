#include "platform/display_mode.h"

#include <SDL.h>

namespace {

bool SwitchSdlDisplayMode(SDL_Window* window, int32_t width, int32_t height, int32_t bits) {
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display < 0) return false;
    SDL_DisplayMode wanted = {};
    wanted.format = bits <= 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    wanted.w = width;
    wanted.h = height;
    // SDL quietly falls back to the next larger mode when the display lacks this size, and
    // makes the window that large: no switch to width x height, so it counts as a refusal.
    SDL_DisplayMode closest;
    if (SDL_GetClosestDisplayMode(display, &wanted, &closest) == nullptr) return false;
    if (closest.w != width || closest.h != height) return false;
    if (SDL_SetWindowDisplayMode(window, &closest) != 0) return false;
    if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0) return false;
    SDL_ShowWindow(window);  // the mode is applied once the window is visible

    SDL_DisplayMode current;
    if (SDL_GetCurrentDisplayMode(display, &current) != 0) return false;
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GetWindowSize(window, &windowWidth, &windowHeight);
    return current.w == width && current.h == height && windowWidth == width &&
           windowHeight == height;
}

DisplayModeSwitch change = SwitchSdlDisplayMode;

}  // namespace

bool SwitchDisplayMode(SDL_Window* window, int32_t width, int32_t height, int32_t bits) {
    return change(window, width, height, bits);
}

DisplayModeSwitch SetDisplayModeSwitch(DisplayModeSwitch replacement) {
    const DisplayModeSwitch previous = change;
    change = replacement != nullptr ? replacement : SwitchSdlDisplayMode;
    return previous;
}
