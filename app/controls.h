// The controls of one frame: mouse look, one keyboard read, the key bindings.
//
// Every step is an amount per frame. Each update is evaluated in double precision from the
// camera's floats and the single-precision constants, and rounded to float once, when stored.
#pragma once

#include "app/driver.h"
#include "platform/cursor.h"
#include "scene/camera.h"

// Where mouse look puts the cursor back after each frame, in screen pixels.
constexpr int32_t kCursorCentreX = 320;
constexpr int32_t kCursorCentreY = 240;

// Turns the camera by the cursor's offset from the centre: 0.05 degree per pixel, right of the
// centre turning right, below it looking down; `yaw` follows `heading`.
void LookByCursor(const Point& cursor, Camera& camera);

// Acts on the keys of `driver.input->keys` as they are, in the fixed order F1, Escape, C, D,
// Page Up, Page Down, End, F, G, Up, Down, Right, Left, each row on its own and seeing what
// the rows above left. F1 goes through the latch to SwitchFullscreen; when that fails nothing
// else runs, since the system is down.
void ApplyKeyBindings(Driver& driver);

// Mouse look (cursor read, put back at the centre, LookByCursor), one keyboard read, then
// ApplyKeyBindings.
void ApplyControls(Driver& driver);
