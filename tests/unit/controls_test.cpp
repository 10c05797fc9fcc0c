// Guards the per-frame controls: mouse look and walking computed as one double expression from
// single-precision constants, rounded once, and the key rows acting in their fixed order.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>  // and initializer_list

#include "app/controls.h"
#include "platform/platform.h"
#include "render/scene_render.h"
#include "tests/support/gl_fixture.h"

namespace {

// A viewer with a camera and an enabled fog in the fixture's context, but no window or keyboard.
class ControlsTest : public GLTest {
  protected:
    void SetUp() override {
        GLTest::SetUp();
        viewer.fog->SetupFog();
        viewer.fog->EnableFog();
    }
    void TearDown() override {
        DestroyScene(*viewer.scene);
        GLTest::TearDown();
    }
    // One frame's key rows with exactly `codes` down.
    void Press(std::initializer_list<uint8_t> codes) {
        for (uint8_t& key : viewer.input->keys) key = 0;
        for (uint8_t code : codes) viewer.input->keys[code] = kKeyDownBit;
        ApplyKeyBindings(viewer);
    }

    Viewer viewer;
    Camera& camera = *(viewer.scene->camera = new Camera);
};

// The whole camera, compared exactly: x, y, z, heading, pitch, yaw.
std::vector<float> State(const Camera& c) {
    return {c.x, c.y, c.z, c.heading, c.pitch, c.yaw};
}

}  // namespace

// Catches a wrong sign, scale or axis of mouse look or walking, yaw not following heading, and
// float arithmetic or double constants (0.21, 0.017453292) in place of one double expression
// from float constants: the rows with odd values then differ in the last bit.
TEST_F(ControlsTest, LookAndWalkRoundOnceFromDoublePrecision) {
    struct Case {
        uint8_t key;
        float heading, pitch, x, z;  // before; yaw follows heading
        std::vector<float> want;
        int32_t cursorX = 320, cursorY = 240;
    };
    // The odd values are exact: each is the one double expression of the step from the float
    // constants, rounded to a float once. Rounding twice, or float arithmetic, moves the last bit:
    // 2.7999997 is the float just below 2.8f, 10.79 is 11 - 0.21 with the float 0.21 taken as a
    // double.
    const Case cases[] = {
        {0, 12.5f, 3, 0, 0, {0, 0, 0, 12.5f, 3, 12.5f}},
        {0, 0, 0, 0, 0, {0, 0, 0, -5, 0, -5}, 420, 240},    // 100 pixels right: 5 degrees
        {0, -5, 0, 0, 0, {0, 0, 0, -5, -1, -5}, 320, 260},  // 20 pixels down: 1 degree
        // -9.8 + 252 x 0.05 and -49.8 + 233 x 0.05.
        {0, -9.8f, -49.8f, 0, 0, {0, 0, 0, 2.7999997f, -38.149998f, 2.7999997f}, 68, 7},
        {kKeyArrowUp, 0, 0, 0.5f, 11, {0.5f, 0, 10.79f, 0, 0, 0}},
        // At 90 degrees the cosine of 90 x 0.017453292 is not quite 0.
        {kKeyArrowUp, 90, 0, 0, 0, {-0.21f, 0, -2.5552724e-09f, 90, 0, 90}},
        {kKeyArrowUp, -244, 0, 0.18f, -0.14f, {-0.008746734f, 0, -0.047942057f, -244, 0, -244}},
        {kKeyArrowDown, -341, 0, 0.4f, -5.95f, {0.46836933f, 0, -5.751441f, -341, 0, -341}},
    };
    for (const Case& c : cases) {
        camera.heading = c.heading;
        camera.pitch = c.pitch;
        camera.SetPosition(c.x, 0, c.z);
        Point cursor;
        cursor.x = c.cursorX;
        cursor.y = c.cursorY;
        LookByCursor(cursor, camera);
        Press({c.key});
        EXPECT_EQ(State(camera), c.want) << c.cursorX << ", " << c.cursorY << ", " << c.heading;
    }
}

// Catches rows tested in another order or as alternatives of one another: End must win over
// Page Up, G over F, the walk must use the heading from before this frame's turn, and Escape
// must not cut the rows after it short.
TEST_F(ControlsTest, RowsActInTheirOrder) {
    camera.y = 1.7f;
    camera.z = 11.0f;
    Press({kKeyEscape, kKeyPageUp, kKeyEnd, kKeyF, kKeyG, kKeyArrowUp, kKeyArrowLeft, kKeyC});
    EXPECT_TRUE(viewer.done);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    // Walked at heading 0 and turned afterwards; 1.7 - 0.05 rounded once is 1.6500001, a step
    // above 1.65f; 11 - 0.21 as above.
    EXPECT_EQ(State(camera), (std::vector<float>{0, 1.6500001f, 10.79f, 1, 0, 1}));

    Press({kKeyF, kKeyPageDown});
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_EQ(camera.pitch, -1.5f);
    Press({kKeyPageUp, kKeyPageDown, kKeyArrowRight, kKeyD});  // Page Up and Page Down cancel out
    EXPECT_EQ(State(camera), (std::vector<float>{0, 1.7f, 10.79f, 0, -1.5f, 0}));

    camera.y = 0.05f;  // the step is the float 0.05, not the double: exactly 0 after C
    Press({kKeyC});
    EXPECT_EQ(camera.y, 0.0f);

    // Catches a crash when a frame's keys arrive while no scene (no camera) is loaded.
    DestroyScene(*viewer.scene);
    Press({kKeyArrowUp, kKeyArrowLeft, kKeyEnd, kKeyG});
    EXPECT_FALSE(glIsEnabled(GL_FOG));
}
