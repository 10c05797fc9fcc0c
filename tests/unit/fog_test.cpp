// Guards the fog settings as GL holds them, and the switches that must not repeat GL calls.
#include <algorithm>
#include <tuple>

#include "render/fog.h"
#include "tests/unit/gl_fixture.h"
#include "tests/unit/gl_get.h"

namespace {

using FogState = std::array<double, 8>;  // mode, colour, density, start, end

FogState ReadFog() {
    FogState state{};
    glGetDoublev(GL_FOG_MODE, &state[0]);
    glGetDoublev(GL_FOG_COLOR, &state[1]);
    glGetDoublev(GL_FOG_DENSITY, &state[5]);
    glGetDoublev(GL_FOG_START, &state[6]);
    glGetDoublev(GL_FOG_END, &state[7]);
    return state;
}

using FogTest = GLTest;

}  // namespace

// Walks every switch from all four (configured, enabled) states. Before each switch GL's fog
// is set against it, so GL changes only if the switch called GL: catches a redundant glEnable
// or glDisable, a missing one, a wish lost before SetupFog, and SetupFog switching fog on.
TEST_F(FogTest, SwitchesReachGLOnlyOnAChange) {
    const auto on = &Fog::EnableFog;
    const auto off = &Fog::DisableFog;
    const std::tuple<void (Fog::*)(), bool, bool> steps[] = {
        // switch, calls GL, enabled
        {off, false, false}, {on, false, true},  {on, false, true},
        {off, true, false},  {on, false, true},  {&Fog::SetupFog, false, true},
        {on, false, true},   {off, true, false}, {off, false, false},
        {on, true, true}};
    Fog fog;
    int step = 0;
    for (const auto& [action, callsGL, enabled] : steps) {
        SCOPED_TRACE(step++);
        const bool wanted = action != off;
        wanted ? glDisable(GL_FOG) : glEnable(GL_FOG);
        (fog.*action)();
        EXPECT_EQ(glIsEnabled(GL_FOG) == GL_TRUE, callsGL == wanted);
        EXPECT_EQ(fog.enabled, enabled);
    }
}

// Catches a wrong default, a field mixed up with another, and a mode index outside 0..2 read
// past the end of the mode table.
TEST_F(FogTest, SetupSendsTheSettings) {
    const FogState defaults = {GL_LINEAR, 0.1f, 0.1f, 0.1f, 1, 0, 15, 100};
    Fog fog;
    fog.SetupFog();
    EXPECT_EQ(ReadFog(), defaults);
    EXPECT_EQ(GLGet(GL_FOG_HINT)[0], GL_DONT_CARE);
    const float colour[4] = {0.2f, 0.3f, 0.4f, 0.5f};
    std::copy(colour, colour + 4, fog.color);
    fog.density = 0.35f;
    fog.start = 2;
    fog.end = 7;
    fog.modeIndex = 0;
    fog.SetupFog();
    EXPECT_EQ(ReadFog(), (FogState{GL_EXP, 0.2f, 0.3f, 0.4f, 0.5f, 0.35f, 2, 7}));
    fog.modeIndex = 1;
    fog.SetupFog();
    EXPECT_EQ(GLGet(GL_FOG_MODE)[0], GL_EXP2);
    fog.modeIndex = 7;
    fog.SetupFog();
    EXPECT_EQ(GLGet(GL_FOG_MODE)[0], GL_LINEAR);
}
