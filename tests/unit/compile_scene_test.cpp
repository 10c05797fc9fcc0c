// Guards the display list that CompileScene records, read back through GL itself: feedback mode
// for the triangles, their corners and normals, pixels for the texture each batch binds.
#include <gtest/gtest.h>

#include <SDL_opengl.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/scene.h"
#include "tests/unit/gl_fixture.h"
#include "tests/unit/scene_builder.h"

namespace {

// One corner as feedback reports it: window position, colour, texture coordinate.
struct Corner {
    float x, y, z, red, green, blue, s, t;
};
using Triangle = std::array<Corner, 3>;

// Runs the list in feedback mode with identity matrices; every primitive must be a triangle.
std::vector<Triangle> FeedbackTriangles(uint32_t list) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glCallList(list);
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "feedback buffer overflowed";
    // x y z, colour r g b a, texture s t r q
    constexpr int kValues = 11;
    std::vector<Triangle> triangles;
    for (GLint i = 0; i < used;) {
        if (buffer[i] != GL_POLYGON_TOKEN || buffer[i + 1] != 3) {
            ADD_FAILURE() << "unexpected feedback token " << buffer[i] << " at " << i;
            break;
        }
        i += 2;
        Triangle triangle;
        for (Corner& c : triangle) {
            const GLfloat* p = &buffer[i];
            c = {p[0], p[1], p[2], p[3], p[4], p[5], p[7], p[8]};
            i += kValues;
        }
        triangles.push_back(triangle);
    }
    return triangles;
}

// Where feedback puts a world vertex with identity matrices on the 64 x 64 viewport.
void ExpectCorner(const Corner& c, const Vertex& w, const char* what) {
    EXPECT_NEAR(c.x, (w.x + 1.0f) * 32.0f, 1e-3) << what;
    EXPECT_NEAR(c.y, (w.y + 1.0f) * 32.0f, 1e-3) << what;
    EXPECT_NEAR(c.z, (w.z + 1.0f) * 0.5f, 1e-5) << what;
    EXPECT_FLOAT_EQ(c.s, w.u) << what;
    EXPECT_FLOAT_EQ(c.t, w.v) << what;
}

TestObject Corners(float x, float y, float z, std::vector<Face> faces) {
    TestObject o;
    o.vertices = {V(-0.9f, -0.9f, 0.0f, 0.125f, 0.25f), V(-0.4f, -0.8f, 0.2f, 0.5f, 0.0f),
                  V(-0.8f, -0.3f, -0.2f, 1.0f, 0.75f)};
    o.faces = std::move(faces);
    o.x = x;
    o.y = y;
    o.z = z;
    return o;
}

// Object 0 and object 2 with an empty object between them; three textures, the last unused.
const std::vector<TestObject>& MixedObjects() {
    static const std::vector<TestObject> objects = {
        Corners(0.1f, 0.2f, 0.0f, {F(0, 1, 2, 1), F(2, 1, 0, 0), F(0, 2, 1, 0, 1)}),
        TestObject(),
        Corners(0.9f, 0.8f, 0.3f,
                {F(0, 1, 2, 0), F(1, 2, 0, -1), F(2, 0, 1, 3), F(1, 0, 2, 1), F(0, 1, 2, 1, -7)}),
    };
    return objects;
}

// A 1 x 1 texture of one colour, sampled without mipmaps.
uint32_t SolidTexture(uint8_t r, uint8_t g, uint8_t b) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    const uint8_t pixel[3] = {r, g, b};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, pixel);
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

// A unit square of two faces placed at (x, y): one quarter of the viewport.
TestObject Square(float x, float y, Face first, Face second) {
    TestObject o;
    o.vertices = {V(0, 0, 0, 0, 0), V(1, 0, 0, 1, 0), V(1, 1, 0, 1, 1), V(0, 1, 0, 0, 1)};
    o.faces = {first, second};
    o.x = x;
    o.y = y;
    return o;
}

std::array<uint8_t, 3> PixelAt(const std::vector<uint8_t>& pixels, int x, int y) {
    const uint8_t* p = &pixels[(y * 64 + x) * 4];
    return {p[0], p[1], p[2]};
}

using Colour = std::array<uint8_t, 3>;

class CompileScene : public GLTest {};

}  // namespace

// Catches batches out of texture order or world order, corners emitted out of a, b, c order,
// texture coordinate and position from different corners, indices not rebased past the first
// object, and hidden or unknown-texture faces in the list.
TEST_F(CompileScene, ListDrawsEachTexturesVisibleFacesInWorldOrder) {
    Scene scene;
    FillScene(scene, MixedObjects(), 3);
    scene.CompileScene();
    ASSERT_TRUE(scene.compiled);
    ASSERT_NE(scene.displayList, 0u);
    EXPECT_EQ(scene.worldVertexCount, 6);
    EXPECT_EQ(scene.worldFaceCount, 8);

    // Texture 0: faces 1 and 3; texture 1: faces 0 and 6; texture 2 has none.
    const std::vector<int32_t> expected = {1, 3, 0, 6};
    const std::vector<Triangle> triangles = FeedbackTriangles(scene.displayList);
    ASSERT_EQ(triangles.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Face& f = scene.worldFaces[expected[i]];
        SCOPED_TRACE("triangle " + std::to_string(i));
        ExpectCorner(triangles[i][0], scene.worldVertices[f.a], "corner a");
        ExpectCorner(triangles[i][1], scene.worldVertices[f.b], "corner b");
        ExpectCorner(triangles[i][2], scene.worldVertices[f.c], "corner c");
    }
    EmptyScene(scene);
}

// Lights the scene with three directional lights along `sign` times the axes, red, green and
// blue, on a purely diffuse white material: each corner's colour is then the positive part of
// sign times its normal.
void LightAlongAxes(float sign) {
    glEnable(GL_LIGHTING);
    const GLfloat none[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    for (int axis = 0; axis < 3; ++axis) {
        GLfloat direction[4] = {0, 0, 0, 0}, colour[4] = {0, 0, 0, 1};
        direction[axis] = sign;
        colour[axis] = 1;
        glLightfv(GL_LIGHT0 + axis, GL_POSITION, direction);
        glLightfv(GL_LIGHT0 + axis, GL_DIFFUSE, colour);
        glLightfv(GL_LIGHT0 + axis, GL_SPECULAR, none);
        glEnable(GL_LIGHT0 + axis);
    }
}

// Catches a missing or misplaced normal: each triangle must carry its own face's normal at every
// corner, read back from two lit feedback passes (positive and negative parts).
TEST_F(CompileScene, EachTriangleCarriesItsFacesNormal) {
    Scene scene;
    FillScene(scene, MixedObjects(), 3);
    scene.CompileScene();
    ASSERT_TRUE(scene.compiled);
    LightAlongAxes(1.0f);
    const std::vector<Triangle> positive = FeedbackTriangles(scene.displayList);
    LightAlongAxes(-1.0f);
    const std::vector<Triangle> negative = FeedbackTriangles(scene.displayList);
    const std::vector<int32_t> expected = {1, 3, 0, 6};
    ASSERT_EQ(positive.size(), expected.size());
    ASSERT_EQ(negative.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Face& f = scene.worldFaces[expected[i]];
        EXPECT_GT(std::abs(f.nx) + std::abs(f.ny) + std::abs(f.nz), 0.9f);
        for (int k = 0; k < 3; ++k) {
            const Corner &p = positive[i][k], &n = negative[i][k];
            EXPECT_NEAR(p.red - n.red, f.nx, 1e-5) << "triangle " << i;
            EXPECT_NEAR(p.green - n.green, f.ny, 1e-5) << "triangle " << i;
            EXPECT_NEAR(p.blue - n.blue, f.nz, 1e-5) << "triangle " << i;
        }
    }
    EmptyScene(scene);
}

// Catches a batch bound to the wrong texture (or not bound at all), drawn hidden or
// unknown-texture faces, and a texture left out because no face uses it.
TEST_F(CompileScene, EachBatchBindsItsOwnTexture) {
    Scene scene;
    FillScene(
        scene,
        {Square(-1, -1, F(0, 1, 2, 2), F(0, 2, 3, 2)), Square(0, -1, F(0, 1, 2, 0), F(0, 2, 3, 0)),
         Square(-1, 0, F(0, 1, 2, 1), F(0, 2, 3, 1)),
         Square(0, 0, F(0, 1, 2, 0, 1), F(0, 2, 3, 7))},
        4);
    const Colour colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
    for (int32_t t = 0; t < 4; ++t) {
        scene.textures.names[t] = SolidTexture(colours[t][0], colours[t][1], colours[t][2]);
    }
    scene.CompileScene();
    ASSERT_TRUE(scene.compiled);

    glEnable(GL_TEXTURE_2D);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glCallList(scene.displayList);
    const std::vector<uint8_t> pixels = ReadPixels();
    EXPECT_EQ(PixelAt(pixels, 16, 16), colours[2]);
    EXPECT_EQ(PixelAt(pixels, 48, 16), colours[0]);
    EXPECT_EQ(PixelAt(pixels, 16, 48), colours[1]);
    EXPECT_EQ(PixelAt(pixels, 56, 40), (Colour{0, 0, 0})) << "hidden face drawn";
    EXPECT_EQ(PixelAt(pixels, 40, 56), (Colour{0, 0, 0})) << "face of texture 7 drawn";
    // Texture 3 has no face, but its bind is the last thing the list does.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<uint32_t>(bound), scene.textures.names[3]);
    EmptyScene(scene);
}

// Catches a scene without textures left uncompiled (DrawScene would then fail the run) or a
// list that draws its faces anyway: feedback sees everything the list would draw.
TEST_F(CompileScene, NoTexturesGiveAnEmptyCompiledList) {
    Scene scene;
    FillScene(scene, {Square(-1, -1, F(0, 1, 2, 0), F(0, 2, 3, 0))}, 0);
    scene.CompileScene();
    EXPECT_TRUE(scene.compiled);
    EXPECT_NE(scene.displayList, 0u);
    EXPECT_EQ(scene.worldFaceCount, 2);
    EXPECT_TRUE(FeedbackTriangles(scene.displayList).empty());
    EmptyScene(scene);
}

// Catches success reported without a list: when glGenLists gives 0 (no usable context here),
// nothing may be recorded into list 0 and the scene must not claim to be compiled, while the
// totals for the report are still there.
TEST_F(CompileScene, NoListNameLeavesTheSceneUncompiledButCounted) {
    Scene scene;
    FillScene(scene, MixedObjects(), 3);
    ReleaseContext();
    scene.CompileScene();
    EXPECT_FALSE(scene.compiled);
    EXPECT_EQ(scene.displayList, 0u);
    EXPECT_EQ(scene.worldVertexCount, 6);
    EXPECT_EQ(scene.worldFaceCount, 8);
    EmptyScene(scene, false);
}
