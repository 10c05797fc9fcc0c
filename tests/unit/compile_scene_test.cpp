// Guards scene compilation: the world arrays, the grouping of faces by texture, and the display
// list read back through GL itself (feedback mode for triangles, corners and normals; pixels for
// the texture each batch binds).
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "render/scene_render.h"
#include "render/world_build.h"
#include "scene/scene.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/scene_builder.h"

namespace {

// One corner as feedback reports it: window x y z, texture s t, colour r g b.
using Corner = std::array<float, 8>;
using Triangle = std::array<Corner, 3>;

// Runs `draw` in feedback mode (the fresh context's matrices are the identity); every primitive
// must be a triangle.
template <typename Draw>
std::vector<Triangle> FeedbackTriangles(Draw draw) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<Triangle> triangles;
    for (GLint i = 0; i + 35 <= used; i += 35) {  // token, count, 3 x (x y z, r g b a, s t r q)
        EXPECT_EQ(buffer[i], GL_POLYGON_TOKEN) << "not a polygon";
        EXPECT_EQ(buffer[i + 1], 3) << "not a triangle";
        Triangle triangle;
        for (int k = 0; k < 3; ++k) {
            const GLfloat* p = &buffer[i + 2 + 11 * k];
            triangle[k] = {p[0], p[1], p[2], p[7], p[8], p[3], p[4], p[5]};
        }
        triangles.push_back(triangle);
    }
    return triangles;
}

std::vector<Triangle> FeedbackTriangles(uint32_t list) {
    return FeedbackTriangles([list] { glCallList(list); });
}

// Three directional lights along `sign` times the axes, red, green and blue, on a white diffuse
// material without ambient light: each corner's colour is the positive part of sign times its
// normal.
void LightAlongAxes(float sign) {
    glEnable(GL_LIGHTING);
    const GLfloat none[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    for (int axis = 0; axis < 3; ++axis) {
        GLfloat direction[4] = {0, 0, 0, 0}, colour[4] = {0, 0, 0, 1};
        direction[axis] = sign;
        colour[axis] = 1;
        glLightfv(GL_LIGHT0 + axis, GL_POSITION, direction);
        glLightfv(GL_LIGHT0 + axis, GL_DIFFUSE, colour);
        glEnable(GL_LIGHT0 + axis);
    }
}

// Three corners in view with distinct texture coordinates.
const std::vector<Vertex> kTriangle = {V(-0.9f, -0.9f, 0, 0.125f, 0.25f),
                                       V(-0.4f, -0.8f, 0.2f, 0.5f, 0),
                                       V(-0.8f, -0.3f, -0.2f, 1, 0.75f)};

// Objects 0 and 2 with an empty one between, for three textures of which the last is unused;
// among the faces hidden ones, textures -1 and 3, and corners outside their own object.
const std::vector<TestObject> kMixed = {
    {kTriangle, {F(0, 1, 2, 1), F(2, 1, 0, 0), F(0, 2, 1, 0, 1), F(0, 1, 3, 0)}, 0.1f, 0.2f},
    {},
    {kTriangle, {F(0, 1, 2, 0), F(1, 2, 0, -1), F(-1, 0, 1, 0), F(2, 0, 1, 3)}, 0.9f, 0.8f, 0.3f},
    {kTriangle, {F(1, 0, 2, 1), F(0, 1, 2, 1, -7)}, 0.5f, 0.5f},
};
// What the list must draw, as (object, face): texture 0's faces in world order, then texture 1's.
const std::pair<int, int> kDrawn[] = {{0, 1}, {2, 0}, {0, 0}, {3, 0}};

// A unit square of two faces of one texture placed at (x, y): one quarter of the viewport.
TestObject Square(float x, float y, int32_t texture) {
    const std::vector<Vertex> corners = {V(0, 0, 0), V(1, 0, 0), V(1, 1, 0), V(0, 1, 0)};
    return {corners, {F(0, 1, 2, texture), F(0, 2, 3, texture)}, x, y};
}

// A 1 x 1 texture of one colour.
uint32_t SolidTexture(const std::array<uint8_t, 3>& colour) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, colour.data());
    return name;
}

class CompileSceneTest : public GLTest {};

}  // namespace

// Catches batches out of texture or world order, corners out of a, b, c order, texture coordinate
// and position from different corners, vertices not moved to their object's position, indices
// not rebased past the first object (or rebased wrongly past an empty one), hidden or
// unknown-texture faces drawn, faces reaching another object's vertices through a corner outside
// their own, and a triangle without its face's normal (read back from two lit passes); and a
// scene without textures left uncompiled or drawing its faces anyway.
TEST_F(CompileSceneTest, ListDrawsVisibleFacesByTextureWithTheirNormals) {
    Scene scene;
    FillScene(scene, kMixed, 3);
    CompileScene(scene);
    ASSERT_TRUE(scene.compiled);
    LightAlongAxes(1.0f);
    const std::vector<Triangle> positive = FeedbackTriangles(scene.displayList);
    LightAlongAxes(-1.0f);
    const std::vector<Triangle> negative = FeedbackTriangles(scene.displayList);
    ASSERT_EQ(positive.size(), 4u);
    ASSERT_EQ(negative.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        const TestObject& o = kMixed[kDrawn[i].first];
        const Face& f = o.faces[kDrawn[i].second];
        const int32_t corners[3] = {f.a, f.b, f.c};
        const Vertex n = FaceNormal(o.vertices[f.a], o.vertices[f.b], o.vertices[f.c]);
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE("triangle " + std::to_string(i) + " corner " + std::to_string(k));
            const Vertex& v = o.vertices[corners[k]];
            const Vertex w = V((v.x + o.x + 1) * 32, (v.y + o.y + 1) * 32, (v.z + o.z + 1) / 2);
            const float want[] = {w.x, w.y, w.z, v.u, v.v, n.x, n.y, n.z};
            for (int j = 0; j < 8; ++j) {
                const float got = positive[i][k][j] - (j < 5 ? 0 : negative[i][k][j]);
                EXPECT_NEAR(got, want[j], 1e-4) << "value " << j;
            }
        }
    }

    EmptyScene(scene);  // without textures: compiled, as DrawScene would otherwise end the run
    FillScene(scene, kMixed, 0);
    CompileScene(scene);
    EXPECT_TRUE(scene.compiled);
    EXPECT_TRUE(FeedbackTriangles(scene.displayList).empty()) << "faces of no texture drawn";
    EmptyScene(scene);
}

// Catches a batch bound to the wrong texture (or not bound at all), and a texture left out
// because no face uses it.
TEST_F(CompileSceneTest, EachBatchBindsItsOwnTexture) {
    Scene scene;
    FillScene(scene, {Square(-1, -1, 2), Square(0, -1, 0), Square(-1, 0, 1)}, 4);
    const std::array<uint8_t, 3> colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
    for (int32_t t = 0; t < 4; ++t) scene.textures.names[t] = SolidTexture(colours[t]);
    glBindTexture(GL_TEXTURE_2D, 0);
    CompileScene(scene);
    ASSERT_TRUE(scene.compiled);
    glEnable(GL_TEXTURE_2D);
    glCallList(scene.displayList);
    const std::vector<uint8_t> pixels = ReadPixels();
    const int spots[3][3] = {{16, 16, 2}, {48, 16, 0}, {16, 48, 1}};  // x, y, texture
    for (const auto& spot : spots) {
        const uint8_t* p = &pixels[(spot[1] * kWidth + spot[0]) * 4];
        EXPECT_EQ((std::array<uint8_t, 3>{p[0], p[1], p[2]}), colours[spot[2]]) << spot[2];
    }
    GLint bound = 0;  // texture 3 has no face, but its bind is the last thing the list does
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<uint32_t>(bound), scene.textures.names[3]);
    EmptyScene(scene);
}

// Catches a frame drawn once without a list that differs from the list's: faces in another order,
// hidden or unknown-texture faces drawn, corners from another object, a batch bound to the wrong
// texture, texture coordinates taken from the wrong place of a vertex.
TEST_F(CompileSceneTest, DrawnOnceAsTheListDraws) {
    Scene listed, once;
    FillScene(listed, kMixed, 3);
    FillScene(once, kMixed, 3);
    CompileScene(listed);
    ASSERT_TRUE(listed.compiled);
    const std::vector<Triangle> fromList = FeedbackTriangles(listed.displayList);
    // Seen from the origin, as the list is called here: DrawSceneOnce sets the camera's view.
    const std::vector<Triangle> drawnOnce = FeedbackTriangles([&once] { DrawSceneOnce(once); });
    ASSERT_EQ(drawnOnce.size(), fromList.size());
    for (size_t i = 0; i < fromList.size(); ++i) {
        for (int k = 0; k < 3; ++k) {
            for (int j = 0; j < 8; ++j) {
                EXPECT_NEAR(drawnOnce[i][k][j], fromList[i][k][j], 1e-4)
                    << "triangle " << i << " corner " << k << " value " << j;
            }
        }
    }
    EXPECT_FALSE(once.compiled) << "no list is recorded";
    EmptyScene(listed);
    EmptyScene(once, false);

    FillScene(once, {Square(-1, -1, 2), Square(0, -1, 0), Square(-1, 0, 1)}, 3);
    const std::array<uint8_t, 3> colours[3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    for (int32_t t = 0; t < 3; ++t) once.textures.names[t] = SolidTexture(colours[t]);
    glEnable(GL_TEXTURE_2D);
    glClearColor(0, 0, 0, 1);
    ASSERT_TRUE(DrawSceneOnce(once));
    const std::vector<uint8_t> pixels = ReadPixels();
    const int spots[3][3] = {{16, 16, 2}, {48, 16, 0}, {16, 48, 1}};  // x, y, texture
    for (const auto& spot : spots) {
        const uint8_t* p = &pixels[(spot[1] * kWidth + spot[0]) * 4];
        EXPECT_EQ((std::array<uint8_t, 3>{p[0], p[1], p[2]}), colours[spot[2]]) << spot[2];
    }
    EmptyScene(once, false);
}

// Catches success reported without a list: when glGenLists gives 0 (no context here), nothing may
// be recorded into list 0 and the scene must not claim to be compiled, while the totals for the
// report are still there.
TEST_F(CompileSceneTest, NoListNameLeavesTheSceneUncompiledButCounted) {
    Scene scene;
    FillScene(scene, kMixed, 3);
    ReleaseContext();
    CompileScene(scene);
    EXPECT_FALSE(scene.compiled);
    EXPECT_EQ(scene.displayList, 0u);
    EXPECT_EQ(scene.worldVertexCount, 9);
    EXPECT_EQ(scene.worldFaceCount, 10);
    EmptyScene(scene, false);
}

// Catches totals that wrap around in 32 bits (a small allocation then filled with billions of
// records) and negative counts taken as sizes.
TEST(WorldBuild, TotalsBeyond32BitsOrNegativeCountsBuildNothing) {
    for (int32_t second : {INT32_MAX, -1}) {
        Scene scene;
        SceneObject objects[2];
        objects[0].vertexCount = objects[1].vertexCount = objects[0].faceCount = 1;
        objects[1].faceCount = second;
        scene.objectCount = 2;
        scene.objects = objects;
        EXPECT_FALSE(BuildWorld(scene));
        EXPECT_EQ(scene.worldFaceCount, 0);
        EXPECT_EQ(scene.worldFaces, nullptr);
    }
}

// Catches a world built by several threads (it is large) with a slice of vertices or faces left
// out, written at another object's place, rebased onto the wrong object, or given a normal of
// vertices not yet moved to their position.
TEST(WorldBuild, LargeWorldsAsOneThreadWould) {
    std::vector<TestObject> objects(3);
    for (size_t o = 0; o < objects.size(); ++o) {
        TestObject& object = objects[o];
        const int32_t vertices = 1000 + static_cast<int32_t>(o) * 77;
        for (int32_t i = 0; i < vertices; ++i) {
            object.vertices.push_back(V(i % 13 * 0.5f, i % 7 * 0.25f - o, i * 0.001f, 0, 0));
        }
        for (int32_t j = 0; j < 70000; ++j) {
            object.faces.push_back(F(j % vertices, (j * 7 + 1) % vertices, (j * 3 + 2) % vertices));
        }
        object.x = 10.0f * o;
        object.y = 0.5f;
        object.z = -3.0f;
    }
    objects.insert(objects.begin() + 1, TestObject{kTriangle, {F(2, 0, 1)}, 7, 7, 7});  // one face
    Scene scene;
    FillScene(scene, objects, 1);
    ASSERT_TRUE(BuildWorld(scene));
    int32_t base = 0, next = 0, wrong = 0;
    for (const TestObject& object : objects) {
        const auto placed = [&](int32_t i) {
            const Vertex& v = object.vertices[i];
            return V(v.x + object.x, v.y + object.y, v.z + object.z, v.u, v.v);
        };
        for (size_t i = 0; i < object.vertices.size(); ++i) {
            const Vertex& w = scene.worldVertices[base + i];
            wrong += w.x != placed(i).x || w.y != placed(i).y || w.z != placed(i).z;
        }
        for (const Face& f : object.faces) {
            const Face& w = scene.worldFaces[next++];
            const Vertex n = FaceNormal(placed(f.a), placed(f.b), placed(f.c));
            wrong += w.a != f.a + base || w.c != f.c + base || w.nx != n.x || w.nz != n.z;
        }
        base += static_cast<int32_t>(object.vertices.size());
    }
    EXPECT_EQ(wrong, 0);
    EmptyScene(scene, false);
}
