// Fog settings, sent to GL by SetupFog, switched without redundant GL calls.
//
// Lifecycle: constructor, SetupFog in each new context, EnableFog and DisableFog as the keys ask.
#pragma once

#include <cstdint>

// Where the linear fog begins and where it is complete, in scene units from the eye.
constexpr float kFogStart = 15.0f;
constexpr float kFogEnd = 100.0f;

struct Fog {
    float color[4];     // r g b a
    float density;      // for the exponential modes
    float start;        // eye distance where linear fog begins
    float end;          // eye distance where linear fog is complete
    int32_t modeIndex;  // 0 exponential, 1 squared exponential, 2 linear
    bool configured;    // SetupFog has run
    bool enabled;       // the state last asked for

    Fog();  // linear fog from 15 to 100 in (0.1, 0.1, 0.1, 1); no GL call

    void SetupFog();
    void EnableFog();
    void DisableFog();
};
