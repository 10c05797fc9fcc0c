#include "render/fog.h"

#include <GL/gl.h>

namespace {
constexpr GLint kFogModes[3] = {GL_EXP, GL_EXP2, GL_LINEAR};
}  // namespace

Fog::Fog()
    : color{0.1f, 0.1f, 0.1f, 1.0f},
      density(0.0f),
      start(kFogStart),
      end(kFogEnd),
      modeIndex(2),
      configured(false),
      enabled(false) {}

void Fog::SetupFog() {
    // The fields are open to writing; an index outside the table reads linear.
    glFogi(GL_FOG_MODE, kFogModes[modeIndex >= 0 && modeIndex < 3 ? modeIndex : 2]);
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
