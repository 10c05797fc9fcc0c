// The display-mode change behind full-screen operation.
#pragma once

#include <cstdint>

struct SDL_Window;

// Switches the display to a `width` x `height` mode (at `bits` bits per pixel where the
// display offers that depth, otherwise at its own) and makes `window` cover it. False when the
// display has no such mode or refuses the switch; the caller then takes the window down, which
// restores the desktop mode.
bool SwitchDisplayMode(SDL_Window* window, int32_t width, int32_t height, int32_t bits);

// Tests replace the switch to force a refusal, or an acceptance on a display without the mode.
using DisplayModeSwitch = bool (*)(SDL_Window* window, int32_t width, int32_t height, int32_t bits);
// Installs `change` (null: the platform's own switch again) and returns the one it replaces.
DisplayModeSwitch SetDisplayModeSwitch(DisplayModeSwitch change);
