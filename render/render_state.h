// The GL state of every frame, set once for each new context.
#pragma once

#include <cstdint>

// Viewport, a 45-degree perspective of width / height from 0.1 to 100, texturing, smooth shading,
// the clear colour and depth test; leaves the model-view matrix current, for DrawScene. Needs a
// current context.
void SetupRenderState(int32_t width, int32_t height);
