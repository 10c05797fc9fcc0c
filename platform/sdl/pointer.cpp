#include <SDL.h>

#include "platform/platform.h"

namespace {
bool warpRefused = false;
Point keptPosition;  // the position while warpRefused
}  // namespace

void GetPointerPosition(Point& position) {
    if (!warpRefused) {
        int x = 0;
        int y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        position.x = x;
        position.y = y;
        return;
    }
    int dx = 0;
    int dy = 0;
    SDL_GetRelativeMouseState(&dx, &dy);
    keptPosition.x += dx;
    keptPosition.y += dy;
    position = keptPosition;
}

void SetPointerPosition(int32_t x, int32_t y) {
    warpRefused = SDL_WarpMouseGlobal(x, y) != 0;
    if (!warpRefused) return;
    keptPosition.x = x;
    keptPosition.y = y;
    SDL_GetRelativeMouseState(nullptr, nullptr);  // motion from before the move is spent
}
