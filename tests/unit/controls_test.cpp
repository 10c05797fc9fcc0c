// Guards the per-frame controls: mouse look and walking computed exactly as the viewer's
// arithmetic demands (one double expression from single-precision constants, rounded once),
// and the key rows acting in their fixed order on prepared key states.
#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <initializer_list>

#include "app/controls.h"
#include "app/driver.h"
#include "platform/key_codes.h"
#include "tests/unit/gl_fixture.h"

namespace {

// A driver with a camera and a set-up fog in the fixture's context, but no window or keyboard.
class ControlsTest : public GLTest {
  protected:
    void SetUp() override {
        GLTest::SetUp();
        driver.scene->camera = new Camera;
        driver.fog->SetupFog();
        driver.fog->EnableFog();
    }
    void TearDown() override {
        driver.scene->DestroyScene();
        GLTest::TearDown();
    }
    Camera& camera() { return *driver.scene->camera; }
    // One frame's key rows with exactly `codes` down.
    void Press(std::initializer_list<uint8_t> codes) {
        for (uint8_t& key : driver.input->keys) key = 0;
        for (uint8_t code : codes) driver.input->keys[code] = kKeyDown;
        ApplyKeyBindings(driver);
    }

    Driver driver;
};

Point At(int32_t x, int32_t y) {
    Point point;
    point.x = x;
    point.y = y;
    return point;
}

}  // namespace

// Catches mouse look with the wrong sign or scale, yaw not following heading, and a chain of
// float operations in place of one double expression (the pinned results differ in the last
// bit then).
TEST(Controls, MouseLookTurnsByTheOffsetFromTheCentre) {
    Camera camera;
    camera.heading = 12.5f;
    camera.pitch = 3.0f;
    camera.yaw = 40.0f;
    LookByCursor(At(320, 240), camera);
    EXPECT_EQ(camera.heading, 12.5f);
    EXPECT_EQ(camera.pitch, 3.0f);
    EXPECT_EQ(camera.yaw, 12.5f);

    camera = Camera();
    LookByCursor(At(420, 240), camera);  // 100 pixels right: turns right by 5 degrees
    EXPECT_EQ(camera.heading, -5.0f);
    EXPECT_EQ(camera.yaw, -5.0f);
    EXPECT_EQ(camera.pitch, 0.0f);
    LookByCursor(At(320, 260), camera);  // 20 pixels down: looks down by 1 degree
    EXPECT_EQ(camera.heading, -5.0f);
    EXPECT_EQ(camera.pitch, -1.0f);

    camera.heading = -9.8f;
    camera.pitch = -49.8f;
    LookByCursor(At(68, 7), camera);
    EXPECT_EQ(camera.heading, 0x1.666664p+1f);  // float arithmetic gives 2.8000002
    EXPECT_EQ(camera.pitch, -0x1.313332p+5f);   // float arithmetic gives -38.150002
}

// Catches walking along the wrong axis or sign, Down not undoing Up, and the step or the
// angle conversion taken as doubles (0.21, 0.017453292) or in float arithmetic: at heading 90
// both of those move z by other tiny amounts than the one pinned here.
TEST_F(ControlsTest, WalkingFollowsTheHeadingInDoublePrecision) {
    camera().x = 0.5f;
    camera().z = 11.0f;
    Press({DIK_UP});
    EXPECT_EQ(camera().x, 0.5f);
    EXPECT_EQ(camera().z, 0x1.5947aep+3f);  // 11 - 0.21

    camera().heading = 90.0f;
    camera().x = 0.0f;
    camera().z = 0.0f;
    Press({DIK_UP});
    EXPECT_EQ(camera().x, -0.21f);
    EXPECT_EQ(camera().z, -0x1.5f31a8p-29f);

    // Here 0.21 as a double, 0.017453292 as a double and float arithmetic each give other
    // results, in both coordinates.
    camera().heading = -244.0f;
    camera().x = 0.18f;
    camera().z = -0.14f;
    Press({DIK_UP});
    EXPECT_EQ(camera().x, -0x1.1e9cecp-7f);
    EXPECT_EQ(camera().z, -0x1.88bdc8p-5f);

    const float heading = -341.0f;
    camera().heading = heading;
    camera().x = 0.4f;
    camera().z = -5.95f;
    Press({DIK_DOWN});
    EXPECT_EQ(camera().x, 0x1.df9c36p-2f);
    EXPECT_EQ(camera().z, -0x1.70179cp+2f);
    EXPECT_EQ(camera().heading, heading);
    EXPECT_EQ(camera().y, 0.0f);  // walking stays in the horizontal plane
    EXPECT_EQ(camera().pitch, 0.0f);
}

// Catches rows tested in another order, or as alternatives of one another: End must win over
// Page Up, G over F, the walk must use the heading from before this frame's turn, and Escape
// must not cut the rows after it short.
TEST_F(ControlsTest, RowsActInTheirOrder) {
    camera().y = 1.7f;
    camera().z = 11.0f;
    Press({DIK_ESCAPE, DIK_PRIOR, DIK_END, DIK_F, DIK_G, DIK_UP, DIK_LEFT, DIK_C});
    EXPECT_EQ(camera().pitch, 0.0f);
    EXPECT_FALSE(driver.fog->enabled);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_EQ(camera().x, 0.0f);  // walked at heading 0, turned afterwards
    EXPECT_EQ(camera().z, 0x1.5947aep+3f);
    EXPECT_EQ(camera().heading, 1.0f);
    EXPECT_EQ(camera().yaw, 1.0f);
    EXPECT_EQ(camera().y, 0x1.a66668p+0f);  // 1.7 - 0.05
    EXPECT_TRUE(driver.done);

    Press({DIK_F});  // F alone after G: fog back on
    EXPECT_TRUE(driver.fog->enabled);
    EXPECT_TRUE(glIsEnabled(GL_FOG));

    Press({DIK_PRIOR, DIK_NEXT});
    EXPECT_EQ(camera().pitch, 0.0f);
    Press({DIK_NEXT, DIK_RIGHT});
    EXPECT_EQ(camera().pitch, -1.5f);
    EXPECT_EQ(camera().heading, 0.0f);
    EXPECT_EQ(camera().yaw, 0.0f);
    Press({DIK_D});
    EXPECT_EQ(camera().y, 1.7f);
}

// Catches a crash when a frame's keys arrive while no scene is loaded (no camera).
TEST_F(ControlsTest, NoCameraIsLeftAlone) {
    driver.scene->DestroyScene();
    Press({DIK_UP, DIK_LEFT, DIK_END, DIK_G});
    EXPECT_FALSE(driver.fog->enabled);
}
