// Guards the normal computation: operand order, double-precision evaluation, degenerate faces.
#include <gtest/gtest.h>

#include <limits>

#include "scene/geometry.h"
#include "tests/support/scene_builder.h"

namespace {
void ExpectXYZ(Vertex p, float x, float y, float z) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.z, z);
}
}  // namespace

// Catches texture coordinates carried into a difference, or lost by normalising.
TEST(Geometry, SubtractAndNormalizeHandleTextureCoordinates) {
    const Vertex r = Subtract(V(5, 6, 7, 0.25f, 0.75f), V(1, 1, 1, 0.5f, 0.5f));
    ExpectXYZ(r, 4, 5, 6);
    EXPECT_EQ(r.u, 0.0f);
    EXPECT_EQ(r.v, 0.0f);
    const Vertex n = Normalize(V(3, 4, 0, 0.25f, 0.5f));
    ExpectXYZ(n, 0.6f, 0.8f, 0.0f);
    EXPECT_EQ(n.u, 0.25f);
    EXPECT_EQ(n.v, 0.5f);
}

// Catches squares formed in float, which overflow for 1e20 and vanish for 1e-30, and a magnitude
// kept in double instead of stored as a float before the division (a quarter of all vectors then
// get another last bit, as this one's x would).
TEST(Geometry, MagnitudeIsFormedInDoublePrecisionAndStoredAsAFloat) {
    EXPECT_EQ(Magnitude(V(1e20f, 0, 0)), 1e20f);
    ExpectXYZ(Normalize(V(1e20f, 0, 0)), 1, 0, 0);
    ExpectXYZ(Normalize(V(1e-30f, 0, 0)), 1, 0, 0);
    EXPECT_EQ(Normalize(V(8.65114594f, -9.99771214f, -7.43751097f)).x, 0.570299447f);
}

// Catches swapped cross-product operands (normals pointing the wrong way).
TEST(Geometry, FaceNormalFollowsTheWinding) {
    ExpectXYZ(FaceNormal(V(0, 0, 0), V(1, 0, 0), V(0, 1, 0)), 0, 0, -1);
    ExpectXYZ(FaceNormal(V(0, 0, 0), V(0, 1, 0), V(1, 0, 0)), 0, 0, 1);
    ExpectXYZ(FaceNormal(V(1, 0, 0), V(0, 2, 0), V(0, 0, 0)), 0, 0, -1);
    ExpectXYZ(FaceNormal(V(0, 0, 0), V(0, 0, 1), V(1, 0, 0)), 0, -1, 0);
}

// Catches NaN or infinite normals reaching GL from degenerate or non-finite triangles.
TEST(Geometry, DegenerateAndNonFiniteTrianglesGiveTheZeroNormal) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ExpectXYZ(FaceNormal(V(1, 1, 1), V(1, 1, 1), V(2, 2, 2)), 0, 0, 0);
    ExpectXYZ(FaceNormal(V(0, 0, 0), V(1, 1, 1), V(2, 2, 2)), 0, 0, 0);
    ExpectXYZ(FaceNormal(V(0, 0, 0), V(inf, 0, 0), V(0, 1, 0)), 0, 0, 0);
    ExpectXYZ(FaceNormal(V(nan, 0, 0), V(1, 0, 0), V(0, 1, 0)), 0, 0, 0);
    ExpectXYZ(FaceNormal(V(0, 0, 0), V(3e38f, 0, 0), V(0, 3e38f, 0)), 0, 0, 0);  // too long
}
