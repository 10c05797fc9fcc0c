// Guards the GL state of every context and the view of each frame, read back from GL.
#include <SDL_opengl.h>

#include <cmath>

#include "platform/gl_window.h"
#include "scene/scene.h"
#include "tests/unit/gl_fixture.h"

namespace {

struct Matrix {
    double m[16];  // column-major, as GL stores it
};

Matrix ReadMatrix(GLenum which) {
    GLdouble values[16];
    glGetDoublev(which, values);
    Matrix result;
    for (int i = 0; i < 16; ++i) result.m[i] = values[i];
    return result;
}

void ExpectMatrixNear(const Matrix& actual, const Matrix& expected, double tolerance) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "element " << i;
    }
}

// The model-view matrix a camera must give: rotation about x by 360 - pitch, then about y by
// 360 - yaw, then the translation by minus the position, composed as GL composes them.
Matrix ExpectedView(const Camera& camera) {
    const double radians = 3.14159265358979323846 / 180.0;
    const double a = (360.0 - camera.pitch) * radians;
    const double b = (360.0 - camera.yaw) * radians;
    const double rx[3][3] = {{1, 0, 0}, {0, cos(a), -sin(a)}, {0, sin(a), cos(a)}};
    const double ry[3][3] = {{cos(b), 0, sin(b)}, {0, 1, 0}, {-sin(b), 0, cos(b)}};
    double r[3][3];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r[i][j] = 0;
            for (int k = 0; k < 3; ++k) r[i][j] += rx[i][k] * ry[k][j];
        }
    }
    const double t[3] = {-camera.x, -camera.y, -camera.z};
    Matrix result = {};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) result.m[col * 4 + row] = r[row][col];
        result.m[12 + row] = r[row][0] * t[0] + r[row][1] * t[1] + r[row][2] * t[2];
    }
    result.m[15] = 1;
    return result;
}

Camera MakeCamera(float x, float y, float z, float pitch, float yaw) {
    Camera camera;
    camera.x = x;
    camera.y = y;
    camera.z = z;
    camera.pitch = pitch;
    camera.yaw = yaw;
    camera.heading = 123.0f;  // not part of the view
    return camera;
}

class RenderState : public GLTest {
  protected:
    GLWindow glWindow;  // its GL operations need the context, not a window of its own
};

}  // namespace

// Catches a wrong projection (field of view, aspect, planes), a wrong matrix mode left
// current, and each fixed state value mixed up with its neighbour (LEQUAL, NICEST, alpha 1).
TEST_F(RenderState, SetupGivesTheProjectionAndFixedState) {
    glWindow.SetupRenderState(640, 480);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);

    const double f = 1.0 / std::tan(22.5 * 3.14159265358979323846 / 180.0);
    const double nearPlane = 0.1;
    const double farPlane = 100.0;
    Matrix perspective = {};
    perspective.m[0] = f / (640.0 / 480.0);
    perspective.m[5] = f;
    perspective.m[10] = (farPlane + nearPlane) / (nearPlane - farPlane);
    perspective.m[11] = -1.0;
    perspective.m[14] = 2.0 * farPlane * nearPlane / (nearPlane - farPlane);
    ExpectMatrixNear(ReadMatrix(GL_PROJECTION_MATRIX), perspective, 1e-6);
    Matrix identity = {};
    for (int i = 0; i < 4; ++i) identity.m[i * 5] = 1.0;
    ExpectMatrixNear(ReadMatrix(GL_MODELVIEW_MATRIX), identity, 0.0);

    GLint value = 0;
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LESS);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_FASTEST);

    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.1f);
    EXPECT_FLOAT_EQ(clear[1], 0.1f);
    EXPECT_FLOAT_EQ(clear[2], 0.1f);
    EXPECT_FLOAT_EQ(clear[3], 0.0f);
    GLdouble depth = 0;
    glGetDoublev(GL_DEPTH_CLEAR_VALUE, &depth);
    EXPECT_EQ(depth, 1.0);
}

// Catches a division by zero reaching GL (a projection of infinities or NaNs) for a zero
// height.
TEST_F(RenderState, ZeroHeightGivesAFiniteProjection) {
    glWindow.SetupRenderState(640, 0);
    const Matrix projection = ReadMatrix(GL_PROJECTION_MATRIX);
    for (double value : projection.m) EXPECT_TRUE(std::isfinite(value));
}

// Catches the two blending switches touching the wrong state or leaving depth writes off.
TEST_F(RenderState, BlendingSwitchesBlendAndDepthWrites) {
    GLboolean mask = GL_TRUE;
    glWindow.EnableBlending();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(mask, GL_FALSE);
    glWindow.DisableBlending();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(mask, GL_TRUE);
}

// Catches the rotations or the translation applied in the wrong order, angles not negated
// (turning the view the wrong way), the position not negated, and heading used in place of
// yaw.
TEST_F(RenderState, DrawSceneSetsTheCameraView) {
    glWindow.SetupRenderState(640, 480);
    const Camera cameras[] = {
        MakeCamera(0, 0, 0, 0, 0),  MakeCamera(1, 2, 3, 0, 0),   MakeCamera(0, 0, 0, 90, 0),
        MakeCamera(0, 0, 0, 0, 90), MakeCamera(1, 2, 3, 30, 45), MakeCamera(-5, 1, 8, -20, 400),
    };
    for (const Camera& camera : cameras) {
        Scene scene;
        Camera copy = camera;
        scene.camera = &copy;
        EXPECT_FALSE(scene.DrawScene());
        SCOPED_TRACE(testing::Message()
                     << "camera at " << camera.x << " " << camera.y << " " << camera.z << " pitch "
                     << camera.pitch << " yaw " << camera.yaw);
        ExpectMatrixNear(ReadMatrix(GL_MODELVIEW_MATRIX), ExpectedView(camera), 1e-5);
        EXPECT_EQ(scene.viewX, -camera.x);
        EXPECT_EQ(scene.viewY, -camera.y);
        EXPECT_EQ(scene.viewZ, -camera.z);
        EXPECT_EQ(scene.viewPitch, 360.0f - camera.pitch);
        EXPECT_EQ(scene.viewYaw, 360.0f - camera.yaw);
    }
}

// Catches a frame that draws the list of a scene not yet compiled, or skips the clear, and a
// compiled scene whose list is not called.
TEST_F(RenderState, DrawSceneCallsTheListOnlyWhenCompiled) {
    glWindow.SetupRenderState(kWidth, kHeight);
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);  // paints the whole buffer white
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEndList();

    Camera camera = MakeCamera(0, 0, 0, 0, 0);
    Scene scene;
    scene.camera = &camera;
    scene.displayList = list;
    glClearColor(1, 0, 0, 1);  // leftovers the frame must clear away
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.1f, 0.1f, 0.1f, 0.0f);
    glClearDepth(0.25);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);

    EXPECT_FALSE(scene.DrawScene());
    std::vector<uint8_t> pixels = ReadPixels();
    for (int channel = 0; channel < 3; ++channel) {
        EXPECT_NEAR(pixels[channel], 26, 3);  // 0.1 of 255, as a 16-bit buffer can hold it
    }
    GLfloat depth = 0;
    glReadPixels(kWidth / 2, kHeight / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);

    scene.compiled = true;
    EXPECT_TRUE(scene.DrawScene());
    pixels = ReadPixels();
    EXPECT_EQ(pixels[0], 255);
    glDeleteLists(list, 1);
}

// Catches a crash on a scene that was never loaded (no camera): it is seen from the origin.
TEST_F(RenderState, DrawSceneWithoutCameraSeesFromTheOrigin) {
    glWindow.SetupRenderState(640, 480);
    Scene scene;
    EXPECT_FALSE(scene.DrawScene());
    ExpectMatrixNear(ReadMatrix(GL_MODELVIEW_MATRIX), ExpectedView(MakeCamera(0, 0, 0, 0, 0)),
                     1e-6);
}
