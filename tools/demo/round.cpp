#include "tools/demo/round.h"

#include <cmath>  // sin, cos, sqrt

Vec3 OnCircle(Vec3 centre, double radius, double angle) {
    return Vec3{centre.x + radius * std::sin(angle), centre.y, centre.z + radius * std::cos(angle)};
}

void AddFrustum(Mesh& mesh, Vec3 base, double r0, double r1, double height, RoundLook look) {
    const double tile = DescribeTexture(look.texture).tileMetres;
    const double slant = std::sqrt(height * height + (r0 - r1) * (r0 - r1));
    const int32_t first = static_cast<int32_t>(mesh.vertices.size());
    for (int j = 0; j <= look.rings; ++j) {
        const double t = static_cast<double>(j) / look.rings;
        const Vec3 centre = base + Vec3{0, height * t, 0};
        for (int k = 0; k <= look.segments; ++k) {
            const double s = static_cast<double>(k) / look.segments;
            const double angle = look.startAngle + kTwoPi * s;
            AddVertex(mesh, OnCircle(centre, r0 + (r1 - r0) * t, angle), s * look.uRepeats,
                      (base.y + slant * t) / tile);
        }
    }
    const int32_t row = look.segments + 1;
    for (int j = 0; j < look.rings; ++j) {
        for (int k = 0; k < look.segments; ++k) {
            const int32_t a = first + j * row + k;
            AddQuad(mesh, a, a + 1, a + row + 1, a + row, look.texture);
        }
    }
}

void AddCone(Mesh& mesh, Vec3 base, double radius, double height, RoundLook look) {
    const double tile = DescribeTexture(look.texture).tileMetres;
    const double slant = std::sqrt(height * height + radius * radius);
    for (int k = 0; k < look.segments; ++k) {
        const double s0 = static_cast<double>(k) / look.segments;
        const double s1 = static_cast<double>(k + 1) / look.segments;
        const double a0 = look.startAngle + kTwoPi * s0;
        const double a1 = look.startAngle + kTwoPi * s1;
        const int32_t p0 = AddVertex(mesh, OnCircle(base, radius, a0), s0 * look.uRepeats, 0.0);
        const int32_t p1 = AddVertex(mesh, OnCircle(base, radius, a1), s1 * look.uRepeats, 0.0);
        const int32_t apex = AddVertex(mesh, base + Vec3{0, height, 0},
                                       0.5 * (s0 + s1) * look.uRepeats, slant / tile);
        AddTriangle(mesh, p0, p1, apex, look.texture);
    }
}

void AddDisc(Mesh& mesh, Vec3 centre, double radius, bool facingUp, RoundLook look) {
    const double tile = DescribeTexture(look.texture).tileMetres;
    const int32_t middle = AddVertex(mesh, centre, centre.x / tile, -centre.z / tile);
    const int32_t first = static_cast<int32_t>(mesh.vertices.size());
    for (int k = 0; k < look.segments; ++k) {
        const Vec3 p = OnCircle(centre, radius, look.startAngle + kTwoPi * k / look.segments);
        AddVertex(mesh, p, p.x / tile, -p.z / tile);
    }
    for (int k = 0; k < look.segments; ++k) {
        const int32_t a = first + k;
        const int32_t b = first + (k + 1) % look.segments;
        if (facingUp) {
            AddTriangle(mesh, middle, a, b, look.texture);
        } else {
            AddTriangle(mesh, middle, b, a, look.texture);
        }
    }
}
