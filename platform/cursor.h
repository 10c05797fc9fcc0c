// The mouse cursor's position on the screen, read and set in screen pixels.
//
// Where the platform refuses to move the pointer (SDL's offscreen driver, some compositors),
// SetCursorPos keeps the position itself and GetCursorPos moves it by the pointer motion seen
// since, so per-frame mouse look measures movement there too.
#pragma once

#include <cstdint>

struct Point {
    int32_t x;
    int32_t y;

    Point();  // 0, 0
};

// The cursor's position in screen coordinates.
void GetCursorPos(Point& position);
// Moves the cursor to (x, y) in screen coordinates.
void SetCursorPos(int32_t x, int32_t y);
