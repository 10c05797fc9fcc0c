// Guards the meshes the benchmarks generate: a benchmark of a broken mesh measures the accident.
// (The grid's jitter once wrapped in unsigned arithmetic and threw half its vertices thousands of
// cells away: every large-scene figure drew a heap of screen-sized shards instead of a grid.)
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench/lib/large_scene.h"
#include "bench/lib/scan_sphere.h"
#include "scene/scene_object.h"
#include "tests/support/temp_dir.h"

namespace {

struct Positions {
    std::string source;
    std::vector<float> xyz;  // x, y, z per vertex
};

}  // namespace

// Catches a grid vertex thrown out of its cell (the unsigned wrap above), in both forms the
// benchmarks use: the object file the large-scene benchmarks draw, and the triangles written as
// model files.
TEST(BenchMeshes, GridVerticesStayInTheirCells) {
    const LargeMesh mesh = MeshWithFaces(20000, 1);
    TempDir dir;
    ASSERT_TRUE(WriteObjectFile(dir / "grid.obj", mesh));
    SceneObject object;
    ASSERT_FALSE(object.LoadObject((dir / "grid.obj").c_str()));
    std::vector<Positions> sources = {{"object file", {}},
                                      {"model triangles", GridTriangles(mesh).positions}};
    for (int32_t i = 0; i < object.vertexCount; ++i) {
        const Vertex& v = object.vertices[i];
        sources[0].xyz.insert(sources[0].xyz.end(), {v.x, v.y, v.z});
    }
    object.FreeObject();
    const int64_t side = GridSide(mesh);
    for (const Positions& positions : sources) {
        SCOPED_TRACE(positions.source);
        ASSERT_EQ(static_cast<int64_t>(positions.xyz.size()), mesh.vertexCount * 3);
        int64_t outX = 0, outY = 0, outZ = 0;
        for (int64_t i = 0; i < mesh.vertexCount; ++i) {
            const int64_t row = i / side, column = i % side;
            const float* p = &positions.xyz[i * 3];
            // Half a spacing either way is the cell; the height follows the wave within 0.01
            // (and the six decimals written).
            outX += std::fabs(p[0] - (-5.0 + column * kGridSpacing)) >= kGridSpacing / 2;
            outZ += std::fabs(p[2] - (-row * kGridSpacing)) >= kGridSpacing / 2;
            outY += std::fabs(p[1] - std::sin(column * 0.01)) > 0.0101;
        }
        EXPECT_EQ(outX, 0);
        EXPECT_EQ(outZ, 0);
        EXPECT_EQ(outY, 0);
    }
}

// Catches a scan-like mesh with a hole or a seam (a ring not closed where it wraps round, a pole
// left out), faces turned inside out, and fewer faces than asked for.
TEST(BenchMeshes, ScanLikeSphereIsClosedAndFacesOutwards) {
    const TriangleMesh mesh = ScanLikeSphere(5000, 3);
    const size_t faces = mesh.corners.size() / 3;
    EXPECT_GE(faces, 5000u);
    // Closed and consistently wound: every directed edge once, and its reverse once.
    std::map<std::pair<int32_t, int32_t>, int> edges;
    double volume = 0.0;  // six times the signed volume: positive when faces wind outwards
    for (size_t f = 0; f < faces; ++f) {
        const int32_t* c = &mesh.corners[f * 3];
        for (int k = 0; k < 3; ++k) ++edges[{c[k], c[(k + 1) % 3]}];
        const float* a = &mesh.positions[c[0] * size_t{3}];
        const float* b = &mesh.positions[c[1] * size_t{3}];
        const float* d = &mesh.positions[c[2] * size_t{3}];
        volume += a[0] * (b[1] * d[2] - b[2] * d[1]) - a[1] * (b[0] * d[2] - b[2] * d[0]) +
                  a[2] * (b[0] * d[1] - b[1] * d[0]);
    }
    int64_t unmatched = 0, repeated = 0;
    for (const auto& [edge, count] : edges) {
        repeated += count != 1;
        unmatched += edges.count({edge.second, edge.first}) == 0;
    }
    EXPECT_EQ(repeated, 0);
    EXPECT_EQ(unmatched, 0);
    // A unit sphere's volume is 4.19; the bumps change it by a few per cent.
    EXPECT_NEAR(volume / 6.0, 4.19, 0.4);
}
