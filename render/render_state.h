// The GL state of every frame, set once for each new context.
#pragma once

#include <cstdint>

// The view every frame is drawn with: its vertical field of view in degrees and its near and far
// planes, in scene units.
constexpr double kFieldOfViewDegrees = 45.0;
constexpr double kNearPlane = 0.1;
constexpr double kFarPlane = 100.0;

// Viewport, a 45-degree perspective of width / height from 0.1 to 100, texturing, smooth shading,
// the clear colour and depth test; leaves the model-view matrix current, for DrawScene. Needs a
// current context.
void SetupRenderState(int32_t width, int32_t height);
