// Guards the fog settings as GL holds them, and the switches that must not repeat GL calls.
#include <SDL_opengl.h>

#include "render/fog.h"
#include "tests/unit/gl_fixture.h"

namespace {

class FogTest : public GLTest {
  protected:
    static GLint FogMode() {
        GLint mode = 0;
        glGetIntegerv(GL_FOG_MODE, &mode);
        return mode;
    }
    static GLfloat FogValue(GLenum name) {
        GLfloat value = -1;
        glGetFloatv(name, &value);
        return value;
    }
};

}  // namespace

// Catches a wrong default (mode, colour, range) and SetupFog switching fog on by itself.
TEST_F(FogTest, DefaultsGiveLinearGreyFogFrom15To100) {
    Fog fog;
    EXPECT_FALSE(fog.configured);
    EXPECT_FALSE(fog.enabled);
    fog.SetupFog();
    EXPECT_TRUE(fog.configured);
    EXPECT_FALSE(fog.enabled);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_EQ(FogMode(), GL_LINEAR);
    GLfloat color[4];
    glGetFloatv(GL_FOG_COLOR, color);
    EXPECT_FLOAT_EQ(color[0], 0.1f);
    EXPECT_FLOAT_EQ(color[1], 0.1f);
    EXPECT_FLOAT_EQ(color[2], 0.1f);
    EXPECT_FLOAT_EQ(color[3], 1.0f);
    EXPECT_EQ(FogValue(GL_FOG_DENSITY), 0.0f);
    EXPECT_EQ(FogValue(GL_FOG_START), 15.0f);
    EXPECT_EQ(FogValue(GL_FOG_END), 100.0f);
    GLint hint = 0;
    glGetIntegerv(GL_FOG_HINT, &hint);
    EXPECT_EQ(hint, GL_DONT_CARE);
}

// Walks all four (configured, enabled) states. Catches a switch that calls GL regardless of
// the flags: GL's own fog state would then differ from what the table allows, here made
// visible by fog switched behind the record's back.
TEST_F(FogTest, SwitchesFollowTheFourStateTable) {
    Fog fog;
    fog.EnableFog();  // false,false: no GL call before SetupFog, but the wish is kept
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(fog.enabled);
    EXPECT_FALSE(fog.configured);

    fog.SetupFog();  // false,true -> true,true: fog stays off in GL
    EXPECT_TRUE(fog.configured);
    EXPECT_TRUE(fog.enabled);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    fog.EnableFog();  // true,true: no GL call
    EXPECT_FALSE(glIsEnabled(GL_FOG));

    fog.DisableFog();  // true,true -> true,false with glDisable
    glEnable(GL_FOG);
    fog.DisableFog();  // true,false: no GL call
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    glDisable(GL_FOG);

    fog.EnableFog();  // true,false -> true,true with glEnable
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(fog.enabled);
    glDisable(GL_FOG);
    fog.EnableFog();  // true,true: no GL call
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    glEnable(GL_FOG);
    fog.DisableFog();
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(fog.enabled);
    EXPECT_TRUE(fog.configured);

    Fog unconfigured;  // false,true -> false,false with glDisable
    unconfigured.EnableFog();
    glEnable(GL_FOG);
    unconfigured.DisableFog();
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(unconfigured.enabled);
    glEnable(GL_FOG);
    unconfigured.DisableFog();  // false,false: no GL call
    EXPECT_TRUE(glIsEnabled(GL_FOG));
}

// Catches a setter that reaches GL at once, a field mixed up with another, and a mode index
// outside the table being stored (and later read past the table's end).
TEST_F(FogTest, SettersTakeEffectAtTheNextSetup) {
    Fog fog;
    fog.SetupFog();
    fog.SetColor(0.2f, 0.3f, 0.4f, 0.5f);
    fog.SetDensity(0.35f);
    fog.SetRange(2.0f, 7.0f);
    fog.SetMode(0);
    EXPECT_EQ(FogValue(GL_FOG_START), 15.0f);
    EXPECT_EQ(FogMode(), GL_LINEAR);

    fog.SetupFog();
    EXPECT_EQ(FogMode(), GL_EXP);
    GLfloat color[4];
    glGetFloatv(GL_FOG_COLOR, color);
    EXPECT_FLOAT_EQ(color[0], 0.2f);
    EXPECT_FLOAT_EQ(color[1], 0.3f);
    EXPECT_FLOAT_EQ(color[2], 0.4f);
    EXPECT_FLOAT_EQ(color[3], 0.5f);
    EXPECT_EQ(FogValue(GL_FOG_DENSITY), 0.35f);
    EXPECT_EQ(FogValue(GL_FOG_START), 2.0f);
    EXPECT_EQ(FogValue(GL_FOG_END), 7.0f);

    fog.SetMode(1);
    for (int32_t index : {3, -1, 1000000}) fog.SetMode(index);
    EXPECT_EQ(fog.modeIndex, 1);
    fog.SetupFog();
    EXPECT_EQ(FogMode(), GL_EXP2);

    fog.modeIndex = 7;  // written past the setter: still no read outside the table
    fog.SetupFog();
    EXPECT_EQ(FogMode(), GL_LINEAR);
}
