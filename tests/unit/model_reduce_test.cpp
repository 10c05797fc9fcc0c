// Guards the reduction of a model too detailed for the picture it is drawn in.
#include <gtest/gtest.h>

#include <algorithm>  // max, min
#include <cmath>
#include <cstdint>
#include <vector>

#include "model/shape/reduce.h"

namespace {

// A grid of `side` x `side` quads on the unit square, two faces each, texture coordinates its
// own position; a second mesh of one face off the grid's side, so that the model is 3 wide.
ModelData Grid(int side) {
    ModelData model;
    model.materials.resize(1);
    SourceMesh mesh;
    const int n = side + 1;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            mesh.positions.insert(mesh.positions.end(),
                                  {float(i) / side, float(j) / side, 0.01f * std::sin(i * 0.05f)});
            mesh.uvs.insert(mesh.uvs.end(), {float(i) / side, float(j) / side});
        }
    }
    for (int j = 0; j < side; ++j) {
        for (int i = 0; i < side; ++i) {
            const uint32_t a = j * n + i;
            mesh.triangles.insert(mesh.triangles.end(), {a, a + 1, a + n + 1, a, a + n + 1, a + n});
        }
    }
    model.meshes.push_back(mesh);
    SourceMesh far;
    far.positions = {2, 0, 0, 3, 0, 0, 2, 1, 0};
    far.triangles = {0, 1, 2};
    model.meshes.push_back(far);
    return model;
}

}  // namespace

// Catches a model reduced though it fits, one left at more faces than allowed, faces left without
// area or with a corner outside their mesh, a reduction that moves the model's outline (its
// bounds) by more than a cell or drops a small mesh of large faces, attributes lost, and joined
// vertices lit by the faces folded over at them (dark specks in a thumbnail).
TEST(ModelReduce, FinerThanTheGridBecomesTheGrid) {
    ModelData fits = Grid(20);
    EXPECT_EQ(ReduceModel(fits, 801, 64), 0u);
    EXPECT_EQ(fits.meshes[0].triangles.size(), 800u * 3);

    ModelData model = Grid(300);  // 180,000 faces, 300 along a third of the model's extent
    ASSERT_EQ(ReduceModel(model, 20000, 256), 180001u);
    ASSERT_EQ(model.meshes.size(), 2u);
    size_t faces = 0;
    for (const SourceMesh& mesh : model.meshes) {
        const size_t n = mesh.positions.size() / 3;
        faces += mesh.triangles.size() / 3;
        EXPECT_EQ(mesh.uvs.size(), mesh.uvs.empty() ? 0 : n * 2);
        // The surface's own normal at every joined vertex, not that of a face folded over.
        ASSERT_EQ(mesh.normals.size(), n * 3);
        for (size_t v = 0; v < n; ++v) EXPECT_GT(mesh.normals[v * 3 + 2], 0.9f) << v;
        for (size_t f = 0; f < mesh.triangles.size(); f += 3) {
            const uint32_t* c = &mesh.triangles[f];
            EXPECT_TRUE(c[0] < n && c[1] < n && c[2] < n);
            EXPECT_TRUE(c[0] != c[1] && c[1] != c[2] && c[0] != c[2]);
        }
    }
    EXPECT_LE(faces, 20000u);
    EXPECT_GT(faces, 2000u) << "reduced further than it needed";
    const SourceMesh& grid = model.meshes[0];
    float lo = 1, hi = 0;
    for (size_t i = 0; i < grid.positions.size(); i += 3) {
        lo = std::min(lo, grid.positions[i]);
        hi = std::max(hi, grid.positions[i]);
    }
    const float cell = 3.0f / 200;  // the model is 3 wide, the grid about 220 cells
    EXPECT_LT(lo, cell);
    EXPECT_GT(hi, 1.0f - cell);
    EXPECT_EQ(model.meshes[1].triangles.size(), 3u);
}

// Catches a reduction that stops at the grid the faces' area suggests when that grid still leaves
// too many faces: faces without area (collinear corners, which real files hold) count nothing in
// the area but are never dropped, so the grid must be halved until the whole fits.
TEST(ModelReduce, HalvedUntilTheFacesFit) {
    ModelData model = Grid(300);
    SourceMesh lines;
    for (uint32_t i = 0; i < 12000; ++i) {
        const float y = i / 12000.0f;
        lines.positions.insert(lines.positions.end(),
                               {2.0f, y, 0.0f, 2.5f, y, 0.0f, 3.0f, y, 0.0f});
        lines.triangles.insert(lines.triangles.end(), {i * 3, i * 3 + 1, i * 3 + 2});
    }
    model.meshes.push_back(lines);
    ASSERT_GT(ReduceModel(model, 20000, 256), 0u);
    size_t faces = 0;
    for (const SourceMesh& mesh : model.meshes) faces += mesh.triangles.size() / 3;
    EXPECT_LE(faces, 20000u);
    EXPECT_GT(faces, 12000u);
}
