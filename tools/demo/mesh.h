// Building an object's triangles from boxes, grids and round shapes.
//
// Every face is wound counter-clockwise as seen from outside its solid. Texture coordinates
// are world metres divided by the texture's tile size, measured along each face, so that the
// pattern keeps one scale everywhere and runs on without a seam from one piece to the next.
#pragma once

#include <cmath>  // ceil, sin, cos, sqrt
#include <vector>

#include "scene/geometry.h"
#include "tools/demo/texture_ids.h"

struct Vec3 {
    double x, y, z;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return Vec3{a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return Vec3{a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, double s) {
    return Vec3{a.x * s, a.y * s, a.z * s};
}
inline double Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline double Length(Vec3 a) {
    return std::sqrt(Dot(a, a));
}

// One object file's contents, in the records the viewer reads them into.
struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<Face> faces;
    int32_t hidden = 0;  // non-zero: the viewer counts the faces but never draws them
};

inline int32_t AddVertex(Mesh& mesh, Vec3 p, double u, double v) {
    Vertex vertex;
    vertex.x = static_cast<float>(p.x);
    vertex.y = static_cast<float>(p.y);
    vertex.z = static_cast<float>(p.z);
    vertex.u = static_cast<float>(u);
    vertex.v = static_cast<float>(v);
    mesh.vertices.push_back(vertex);
    return static_cast<int32_t>(mesh.vertices.size() - 1);
}

inline void AddTriangle(Mesh& mesh, int32_t a, int32_t b, int32_t c, TextureId texture) {
    Face face;
    face.a = a;
    face.b = b;
    face.c = c;
    face.texture = texture;
    face.hidden = mesh.hidden;
    mesh.faces.push_back(face);
}

// Corners a, b, c, d counter-clockwise from outside; split along a-c.
inline void AddQuad(Mesh& mesh, int32_t a, int32_t b, int32_t c, int32_t d, TextureId texture) {
    AddTriangle(mesh, a, b, c, texture);
    AddTriangle(mesh, a, c, d, texture);
}

// The parallelogram origin + i/cellsS * side + j/cellsT * up, cut into cells. It faces the
// direction side x up; its texture's u runs along `side` and v along `up`.
inline void AddGrid(Mesh& mesh, Vec3 origin, Vec3 side, Vec3 up, int cellsS, int cellsT,
                    TextureId texture) {
    const double tile = DescribeTexture(texture).tileMetres;
    const Vec3 uAxis = side * (1.0 / (Length(side) * tile));
    const Vec3 vAxis = up * (1.0 / (Length(up) * tile));
    const int32_t first = static_cast<int32_t>(mesh.vertices.size());
    for (int j = 0; j <= cellsT; ++j) {
        for (int i = 0; i <= cellsS; ++i) {
            const Vec3 p = origin + side * (static_cast<double>(i) / cellsS) +
                           up * (static_cast<double>(j) / cellsT);
            AddVertex(mesh, p, Dot(p, uAxis), Dot(p, vAxis));
        }
    }
    const int32_t row = cellsS + 1;
    for (int j = 0; j < cellsT; ++j) {
        for (int i = 0; i < cellsS; ++i) {
            const int32_t a = first + j * row + i;
            AddQuad(mesh, a, a + 1, a + row + 1, a + row, texture);
        }
    }
}

// Cells of at most `cellSize` metres: large flat faces are cut up so that the software
// renderer's per-vertex fog and perspective stay smooth across them.
inline int CellsAlong(Vec3 edge, double cellSize) {
    const int cells = static_cast<int>(std::ceil(Length(edge) / cellSize - 1e-9));
    return cells < 1 ? 1 : cells;
}

struct BoxLook {
    TextureId sides;
    TextureId top;
    bool bottom = false;  // most boxes stand on something and never show their underside
    double cellSize = 1.0;
};

inline void AddFace(Mesh& mesh, Vec3 origin, Vec3 side, Vec3 up, TextureId texture,
                    double cellSize) {
    AddGrid(mesh, origin, side, up, CellsAlong(side, cellSize), CellsAlong(up, cellSize), texture);
}

// The axis-aligned box between corners lo and hi.
inline void AddBox(Mesh& mesh, Vec3 lo, Vec3 hi, BoxLook look) {
    const Vec3 d = hi - lo;
    const Vec3 dx{d.x, 0, 0}, dy{0, d.y, 0}, dz{0, 0, d.z};
    const double cell = look.cellSize;
    AddFace(mesh, Vec3{lo.x, lo.y, hi.z}, dx, dy, look.sides, cell);         // +z
    AddFace(mesh, Vec3{hi.x, lo.y, lo.z}, dx * -1.0, dy, look.sides, cell);  // -z
    AddFace(mesh, Vec3{hi.x, lo.y, hi.z}, dz * -1.0, dy, look.sides, cell);  // +x
    AddFace(mesh, lo, dz, dy, look.sides, cell);                             // -x
    AddFace(mesh, Vec3{lo.x, hi.y, hi.z}, dx, dz * -1.0, look.top, cell);    // +y
    if (look.bottom) AddFace(mesh, lo, dx, dz, look.sides, cell);            // -y
}

inline void AddBox(Mesh& mesh, Vec3 lo, Vec3 hi, TextureId texture, bool bottom = false) {
    BoxLook look{texture, texture, bottom};
    AddBox(mesh, lo, hi, look);
}

constexpr double kTwoPi = 6.283185307179586;  // a whole turn, in radians

// Point at `angle` radians round a vertical axis: 0 towards +z, a quarter turn towards +x.
inline Vec3 OnCircle(Vec3 centre, double radius, double angle) {
    return Vec3{centre.x + radius * std::sin(angle), centre.y, centre.z + radius * std::cos(angle)};
}

struct RoundLook {
    int segments = 16;
    double startAngle = 0.0;  // radians, as OnCircle takes them: 0 puts a corner towards +z
    int rings = 1;            // horizontal cuts of the side, for long shafts
    TextureId texture = kSandstone;
    double uRepeats = 1.0;  // whole repeats round the side, so the seam matches
};

// The side of a vertical frustum from radius r0 at base to r1 at base + height.
inline void AddFrustum(Mesh& mesh, Vec3 base, double r0, double r1, double height, RoundLook look) {
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

// A cone from a base circle up to its apex; a pointed roof or a fir's crown.
inline void AddCone(Mesh& mesh, Vec3 base, double radius, double height, RoundLook look) {
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

// A flat round cap facing up or down; texture laid flat, as on a floor.
inline void AddDisc(Mesh& mesh, Vec3 centre, double radius, bool facingUp, RoundLook look) {
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
