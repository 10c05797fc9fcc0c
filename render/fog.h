// Fog settings, sent to GL by SetupFog, switched without redundant GL calls.
#pragma once

#include <cstdint>

struct Fog {
    float color[4];     // r g b a
    float density;      // for the exponential modes
    float start;        // eye distance where linear fog begins
    float end;          // eye distance where linear fog is complete
    int32_t modes[3];   // GL_EXP, GL_EXP2, GL_LINEAR
    int32_t modeIndex;  // 0, 1 or 2
    bool configured;    // SetupFog has run
    bool enabled;       // the state last asked for

    Fog();  // linear fog from 15 to 100 in (0.1, 0.1, 0.1, 1); no GL call

    void SetupFog();
    void EnableFog();
    void DisableFog();
    void SetColor(float r, float g, float b, float a);
    void SetDensity(float density);
    void SetRange(float start, float end);
    // An index outside 0 to 2 leaves the mode unchanged.
    void SetMode(int32_t index);
};
