// The controls of one frame: mouse look, one keyboard read, the key bindings.
//
// Every step is an amount per frame. Each update is evaluated in double precision from the
// camera's floats and the single-precision constants, and rounded to float once, when stored.
#pragma once

#include "app/viewer.h"
#include "platform/platform.h"
#include "scene/camera.h"

// Where mouse look puts the pointer back after each frame, in screen pixels.
constexpr int32_t kCursorCentreX = 320;
constexpr int32_t kCursorCentreY = 240;

// Turns the camera by the pointer's offset from the centre: 0.05 degree per pixel, right of the
// centre turning right, below it looking down; `yaw` follows `heading`.
void LookByCursor(const Point& cursor, Camera& camera);

// Acts on the keys of `viewer.input->keys` as they are, in the fixed order F1, Escape, C, D,
// Page Up, Page Down, End, F, G, Up, Down, Right, Left, each row on its own and seeing what the
// rows above left. F1 goes through the latch to SwitchFullscreen, which rebuilds the whole system
// at once; the rows after it then act on the new fog and the newly loaded camera, with the keys
// read before the switch, so that a frame's keys are never lost to a switch. When the switch
// fails nothing else runs, since the system is down.
void ApplyKeyBindings(Viewer& viewer);

// Mouse look (pointer read, put back at the centre, LookByCursor) while the window has the focus,
// one keyboard read, then ApplyKeyBindings.
void ApplyControls(Viewer& viewer);
