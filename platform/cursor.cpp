#include "platform/cursor.h"

#include <SDL.h>

namespace {
bool warpRefused = false;
Point keptCursor;  // the position while warpRefused
}  // namespace

Point::Point() : x(0), y(0) {}

void GetCursorPos(Point& position) {
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
    keptCursor.x += dx;
    keptCursor.y += dy;
    position = keptCursor;
}

void SetCursorPos(int32_t x, int32_t y) {
    warpRefused = SDL_WarpMouseGlobal(x, y) != 0;
    if (!warpRefused) return;
    keptCursor.x = x;
    keptCursor.y = y;
    SDL_GetRelativeMouseState(nullptr, nullptr);  // motion from before the move is spent
}
