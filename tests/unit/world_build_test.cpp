// Guards the world arrays and the grouping of faces by texture, the part of compilation that
// needs no GL.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "render/world_build.h"
#include "tests/unit/scene_builder.h"

namespace {

TestObject Triangle(float x, float y, float z, std::vector<Face> faces) {
    TestObject o;
    o.vertices = {V(0.25f, 0.5f, 0.75f, 0.1f, 0.2f), V(1.5f, 0.5f, 0.0f, 0.3f, 0.4f),
                  V(0.0f, 2.0f, 0.5f, 0.5f, 0.6f)};
    o.faces = std::move(faces);
    o.x = x;
    o.y = y;
    o.z = z;
    return o;
}

// What the display list must draw for texture t: the scan of all faces in world order.
std::vector<int32_t> ScanBatch(const Scene& scene, int32_t t) {
    std::vector<int32_t> batch;
    for (int32_t f = 0; f < scene.worldFaceCount; ++f) {
        if (scene.worldFaces[f].texture == t && scene.worldFaces[f].hidden == 0) batch.push_back(f);
    }
    return batch;
}

std::vector<int32_t> Batch(const TextureBatches& batches, int32_t t) {
    return std::vector<int32_t>(batches.order + batches.first[t],
                                batches.order + batches.first[t + 1]);
}

}  // namespace

// Catches vertices left in object coordinates, rebasing by the wrong count (an empty object in
// between must not move the base), and texture or hidden values lost on the way.
TEST(WorldBuild, ConcatenatesObjectsInOrderMovedAndRebased) {
    Scene scene;
    TestObject empty;
    empty.x = 100.0f;
    FillScene(scene,
              {Triangle(1.0f, -2.0f, 0.1f, {F(0, 1, 2, 5, 0), F(2, 1, 0, 0, 3)}), empty,
               Triangle(-0.5f, 0.3f, 7.0f, {F(1, 2, 0, -4, 0)})},
              2);
    ASSERT_TRUE(BuildWorld(scene));
    ASSERT_EQ(scene.worldVertexCount, 6);
    ASSERT_EQ(scene.worldFaceCount, 3);

    int32_t k = 0;
    for (int32_t i : {0, 2}) {
        const SceneObject& o = scene.objects[i];
        for (int32_t j = 0; j < 3; ++j, ++k) {
            const Vertex& w = scene.worldVertices[k];
            EXPECT_EQ(w.x, o.vertices[j].x + o.x);
            EXPECT_EQ(w.y, o.vertices[j].y + o.y);
            EXPECT_EQ(w.z, o.vertices[j].z + o.z);
            EXPECT_EQ(w.u, o.vertices[j].u);
            EXPECT_EQ(w.v, o.vertices[j].v);
        }
    }
    const Face* w = scene.worldFaces;
    EXPECT_EQ((std::vector<int32_t>{w[0].a, w[0].b, w[0].c}), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ((std::vector<int32_t>{w[1].a, w[1].b, w[1].c}), (std::vector<int32_t>{2, 1, 0}));
    EXPECT_EQ((std::vector<int32_t>{w[2].a, w[2].b, w[2].c}), (std::vector<int32_t>{4, 5, 3}));
    EXPECT_EQ(w[0].texture, 5);
    EXPECT_EQ(w[1].hidden, 3);
    EXPECT_EQ(w[2].texture, -4);
    EmptyScene(scene, false);
}

// Catches normals taken from object coordinates or from the wrong corners: moving a face keeps
// its normal up to float rounding, and a hidden face gets one too.
TEST(WorldBuild, NormalsOfMovedFacesMatchTheUnmovedOnes) {
    Scene scene;
    FillScene(scene,
              {Triangle(0.0f, 0.0f, 0.0f, {F(0, 1, 2), F(0, 2, 1, 0, 1)}),
               Triangle(10.0f, -20.0f, 30.0f, {F(0, 1, 2), F(0, 2, 1, 0, 1)})},
              1);
    ASSERT_TRUE(BuildWorld(scene));
    const SceneObject& o = scene.objects[0];
    for (int32_t f = 0; f < 4; ++f) {
        const Face& local = o.faces[f % 2];
        const Vertex n = FaceNormal(o.vertices[local.a], o.vertices[local.b], o.vertices[local.c]);
        EXPECT_NEAR(scene.worldFaces[f].nx, n.x, 1e-5) << "face " << f;
        EXPECT_NEAR(scene.worldFaces[f].ny, n.y, 1e-5) << "face " << f;
        EXPECT_NEAR(scene.worldFaces[f].nz, n.z, 1e-5) << "face " << f;
    }
    EXPECT_NEAR(scene.worldFaces[0].nx, -scene.worldFaces[1].nx, 1e-6);
    EXPECT_GT(std::abs(scene.worldFaces[0].nz), 0.1f);
    EmptyScene(scene, false);
}

// Catches reads outside the world vertices (ASan) and faces drawn from another object's vertices
// when a corner lies outside its own object, which the loader refuses but memory may still hold.
TEST(WorldBuild, FacesWithCornersOutsideTheirObjectAreKeptButNeverDrawn) {
    Scene scene;
    FillScene(scene,
              {Triangle(0, 0, 0, {F(0, 1, 3), F(-1, 0, 1), F(0, 1, 2)}),
               Triangle(0, 0, 0, {F(2, INT32_MAX, 0), F(INT32_MIN, 1, 2), F(2, 1, 0)})},
              1);
    ASSERT_TRUE(BuildWorld(scene));
    ASSERT_EQ(scene.worldFaceCount, 6);
    for (int32_t f : {0, 1, 3, 4}) {
        const Face& w = scene.worldFaces[f];
        EXPECT_EQ(w.a, -1);
        EXPECT_EQ(w.c, -1);
        EXPECT_EQ(w.nx, 0.0f);
        EXPECT_EQ(w.nz, 0.0f);
    }
    TextureBatches batches;
    ASSERT_TRUE(GroupFacesByTexture(scene, batches));
    EXPECT_EQ(Batch(batches, 0), (std::vector<int32_t>{2, 5}));
    ReleaseBatches(batches);
    EmptyScene(scene, false);
}

// Catches totals that wrap around in 32 bits (a small allocation then filled with billions of
// records) and negative counts taken as sizes; neither touches the objects' arrays.
TEST(WorldBuild, TotalsBeyond32BitsOrNegativeCountsBuildNothing) {
    for (int32_t second : {INT32_MAX, -1}) {
        Scene scene;
        scene.objectCount = 2;
        scene.objects = new SceneObject[2];
        scene.objects[0].vertexCount = 3;
        scene.objects[0].faceCount = 1;
        scene.objects[1].vertexCount = 1;
        scene.objects[1].faceCount = second;
        EXPECT_FALSE(BuildWorld(scene));
        EXPECT_EQ(scene.worldVertexCount, 0);
        EXPECT_EQ(scene.worldFaceCount, 0);
        EXPECT_EQ(scene.worldVertices, nullptr);
        EXPECT_EQ(scene.worldFaces, nullptr);
        delete[] scene.objects;
    }
}

// Catches a grouping that is not the per-texture scan it replaces: batches out of world order,
// hidden or unknown-texture faces drawn, or faces of one texture split or lost.
TEST(WorldBuild, GroupingEqualsTheScanOfAllFacesPerTexture) {
    std::mt19937 random(7);
    for (int32_t textureCount : {0, 1, 3, 256}) {
        std::vector<TestObject> objects(5);
        for (TestObject& o : objects) {
            o = Triangle(0, 0, 0, {});
            std::uniform_int_distribution<int32_t> texture(-2, textureCount + 1), hidden(0, 5);
            for (int32_t j = 0; j < 400; ++j) {
                o.faces.push_back(F(j % 3, (j + 1) % 3, (j + 2) % 3, texture(random),
                                    hidden(random) == 0 ? -1 : 0));
            }
        }
        Scene scene;
        FillScene(scene, objects, textureCount);
        ASSERT_TRUE(BuildWorld(scene));
        TextureBatches batches;
        ASSERT_TRUE(GroupFacesByTexture(scene, batches));
        ASSERT_EQ(batches.textureCount, textureCount);
        int32_t drawn = 0;
        for (int32_t t = 0; t < textureCount; ++t) {
            EXPECT_EQ(Batch(batches, t), ScanBatch(scene, t)) << "texture " << t;
            drawn += static_cast<int32_t>(ScanBatch(scene, t).size());
        }
        EXPECT_EQ(batches.drawCount, drawn);
        ReleaseBatches(batches);
        EmptyScene(scene, false);
    }
}
