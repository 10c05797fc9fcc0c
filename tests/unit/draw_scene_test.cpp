// Guards the view of each frame and the clear before it, read back from GL.
#include <GL/gl.h>

#include "render/render_state.h"
#include "render/scene_render.h"
#include "scene/scene.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/gl_get.h"

namespace {

using Matrix = std::array<double, 16>;  // column-major, as GL keeps it
const Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void ExpectNear(const Matrix& actual, const Matrix& expected, double tolerance) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

using DrawSceneTest = GLTest;

}  // namespace

// Catches a frame that skips the clear of colour or depth, draws the list of a scene not yet
// compiled or not that of a compiled one, a crash on a scene with no camera (seen from the
// origin), and the rotations or the translation applied in the wrong order or about the wrong
// axis, angles or position not negated, heading used in place of yaw, a turn at pitch 0 and
// yaw 0. The view must undo the camera's own placement: moved to its position, turned by yaw
// about y, then by pitch about x.
TEST_F(DrawSceneTest, DrawSceneClearsSetsTheViewAndCallsTheListOnlyWhenCompiled) {
    glClearColor(1, 0, 0, 1);  // leftovers the frame must clear away
    glClearDepth(0.25);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetupRenderState(kWidth, kHeight);
    Scene scene;
    scene.displayList = glGenLists(1);
    glNewList(scene.displayList, GL_COMPILE);  // paints the whole buffer white
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEndList();

    EXPECT_FALSE(DrawScene(scene));
    ExpectNear(GLGet<16>(GL_MODELVIEW_MATRIX), kIdentity, 1e-6);
    const std::vector<uint8_t> pixels = ReadPixels();  // 0.1 of 255, as 16 bits can hold it
    for (int channel = 0; channel < 3; ++channel) EXPECT_NEAR(pixels[channel], 26, 3);
    GLfloat depth = 0;
    glReadPixels(kWidth / 2, kHeight / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);

    Camera camera;
    camera.heading = 123;  // no part of the view
    scene.camera = &camera;
    const float placements[][5] = {
        {1, 2, 3, 0, 0},   {0, 0, 0, 90, 0},     {0, 0, 0, 0, 90},
        {1, 2, 3, 30, 45}, {-5, 1, 8, -20, 400},
    };
    for (const auto& p : placements) {
        camera.SetPosition(p[0], p[1], p[2]);
        camera.pitch = p[3];
        camera.yaw = p[4];
        EXPECT_FALSE(DrawScene(scene));
        glTranslatef(p[0], p[1], p[2]);
        glRotatef(p[4], 0, 1, 0);
        glRotatef(p[3], 1, 0, 0);
        SCOPED_TRACE(testing::Message() << "pitch " << p[3] << " yaw " << p[4]);
        ExpectNear(GLGet<16>(GL_MODELVIEW_MATRIX), kIdentity, 1e-5);
    }

    scene.compiled = true;
    EXPECT_TRUE(DrawScene(scene));
    EXPECT_EQ(ReadPixels()[0], 255);
}
