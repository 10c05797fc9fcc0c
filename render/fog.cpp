#include "render/fog.h"

#include <SDL_opengl.h>

namespace {
bool IsModeIndex(int32_t index) {
    return index >= 0 && index < 3;
}
}  // namespace

Fog::Fog()
    : color{0.1f, 0.1f, 0.1f, 1.0f},
      density(0.0f),
      start(15.0f),
      end(100.0f),
      modes{GL_EXP, GL_EXP2, GL_LINEAR},
      modeIndex(2),
      configured(false),
      enabled(false) {}

void Fog::SetupFog() {
    // The fields are open to writing; an index that SetMode would have refused reads linear.
    glFogi(GL_FOG_MODE, modes[IsModeIndex(modeIndex) ? modeIndex : 2]);
    glFogfv(GL_FOG_COLOR, color);
    glFogf(GL_FOG_DENSITY, density);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
    configured = true;
}

// Both switches are called every frame while their key is held: only a change reaches GL.
void Fog::EnableFog() {
    if (configured && !enabled) glEnable(GL_FOG);
    enabled = true;
}

void Fog::DisableFog() {
    if (enabled) glDisable(GL_FOG);
    enabled = false;
}

void Fog::SetColor(float r, float g, float b, float a) {
    color[0] = r;
    color[1] = g;
    color[2] = b;
    color[3] = a;
}

void Fog::SetDensity(float value) {
    density = value;
}

void Fog::SetRange(float near, float far) {
    start = near;
    end = far;
}

void Fog::SetMode(int32_t index) {
    if (IsModeIndex(index)) modeIndex = index;
}
