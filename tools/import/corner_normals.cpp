#include "tools/import/corner_normals.h"

#include <cmath>

namespace {

struct Vec {
    double x = 0, y = 0, z = 0;
};

Vec Sub(const float* a, const float* b) {
    return Vec{double{a[0]} - b[0], double{a[1]} - b[1], double{a[2]} - b[2]};
}
Vec Cross(Vec a, Vec b) {
    return Vec{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
void Add(Vec& to, Vec v) {
    to.x += v.x;
    to.y += v.y;
    to.z += v.z;
}
Vec Unit(Vec v) {
    const double length = std::sqrt(Dot(v, v));
    return length > 0.0 ? Vec{v.x / length, v.y / length, v.z / length} : Vec{};
}

// `to` made the unit vector along `v`; left as it is when `v` has no length.
void SetNormal(Vec v, Normal& to) {
    const Vec u = Unit(v);
    if (Dot(u, u) == 0.0) return;
    to = Normal{static_cast<float>(u.x), static_cast<float>(u.y), static_cast<float>(u.z)};
}

// Every corner given its vertex's normal; false, having changed nothing, when there are none or
// some corner's has no length (the file's normals are then made again where they are missing).
bool TakeVertexNormals(const std::vector<uint32_t>& triangles,
                       const std::vector<float>& vertexNormals, std::vector<Normal>& out) {
    if (vertexNormals.empty()) return false;
    for (uint32_t v : triangles) {
        const float* n = &vertexNormals[size_t{v} * 3];
        if (n[0] == 0.0f && n[1] == 0.0f && n[2] == 0.0f) return false;
    }
    for (size_t c = 0; c < triangles.size(); ++c) {
        const float* n = &vertexNormals[size_t{triangles[c]} * 3];
        SetNormal(Vec{n[0], n[1], n[2]}, out[c]);
    }
    return true;
}

// Around a position with more faces than this, faces are gathered into groups of like normals
// (at most a dozen, their first normals being more than the crease apart) instead of each corner
// looking at every face: a hostile fan of a million faces stays linear.
constexpr size_t kPairwiseFaces = 64;

}  // namespace

std::vector<Normal> CornerNormals(const std::vector<float>& positions,
                                  const std::vector<uint32_t>& position,
                                  const std::vector<uint32_t>& triangles,
                                  const std::vector<float>& vertexNormals) {
    std::vector<Normal> out(triangles.size());
    if (TakeVertexNormals(triangles, vertexNormals, out)) return out;
    const size_t faces = triangles.size() / 3;
    // Each face's unit normal, for the crease test, and at each corner the same weighted by the
    // face's angle there: a vertex's normal then does not depend on how a surface around it
    // happens to be cut into triangles.
    std::vector<Vec> unit(faces), weighted(triangles.size());
    for (size_t f = 0; f < faces; ++f) {
        const float* p[3];
        for (int k = 0; k < 3; ++k) p[k] = &positions[size_t{triangles[f * 3 + k]} * 3];
        unit[f] = Unit(Cross(Sub(p[1], p[0]), Sub(p[2], p[0])));
        for (int k = 0; k < 3; ++k) {
            const Vec along = Sub(p[(k + 1) % 3], p[k]), back = Sub(p[(k + 2) % 3], p[k]);
            const Vec cross = Cross(along, back);
            const double angle = std::atan2(std::sqrt(Dot(cross, cross)), Dot(along, back));
            weighted[f * 3 + k] = Vec{unit[f].x * angle, unit[f].y * angle, unit[f].z * angle};
        }
    }
    // The corners at each position, grouped: `start` indexes `corners` by position.
    const size_t n = positions.size() / 3;
    std::vector<uint32_t> start(n + 1, 0);
    for (uint32_t v : triangles) ++start[position[v] + 1];
    for (size_t p = 0; p < n; ++p) start[p + 1] += start[p];
    std::vector<uint32_t> corners(triangles.size());
    {
        std::vector<uint32_t> fill(start.begin(), start.end() - 1);
        for (size_t c = 0; c < triangles.size(); ++c) {
            corners[fill[position[triangles[c]]]++] = static_cast<uint32_t>(c);
        }
    }

    const double creaseCosine = std::cos(kCreaseDegrees * 3.14159265358979323846 / 180.0);
    std::vector<Vec> sum(triangles.size());
    std::vector<Vec> groupSeed, groupSum;
    for (size_t p = 0; p < n; ++p) {
        const uint32_t* first = corners.data() + start[p];
        const uint32_t* last = corners.data() + start[p + 1];
        Vec all;
        for (const uint32_t* c = first; c != last; ++c) Add(all, weighted[*c]);
        if (static_cast<size_t>(last - first) <= kPairwiseFaces) {
            for (const uint32_t* c = first; c != last; ++c) {
                const Vec own = unit[*c / 3];
                if (Dot(own, own) == 0.0) {
                    sum[*c] = all;
                    continue;
                }
                for (const uint32_t* d = first; d != last; ++d) {
                    if (Dot(own, unit[*d / 3]) >= creaseCosine) Add(sum[*c], weighted[*d]);
                }
            }
            continue;
        }
        groupSeed.clear();
        groupSum.clear();
        std::vector<size_t> groupOf(static_cast<size_t>(last - first));
        for (const uint32_t* c = first; c != last; ++c) {
            const Vec own = unit[*c / 3];
            if (Dot(own, own) == 0.0) continue;  // takes `all` below
            size_t g = 0;
            while (g < groupSeed.size() && Dot(own, groupSeed[g]) < creaseCosine) ++g;
            if (g == groupSeed.size()) {
                groupSeed.push_back(own);
                groupSum.push_back(Vec{});
            }
            Add(groupSum[g], weighted[*c]);
            groupOf[static_cast<size_t>(c - first)] = g;
        }
        for (const uint32_t* c = first; c != last; ++c) {
            const bool flat = Dot(unit[*c / 3], unit[*c / 3]) == 0.0;
            sum[*c] = flat ? all : groupSum[groupOf[static_cast<size_t>(c - first)]];
        }
    }

    for (size_t c = 0; c < triangles.size(); ++c) {
        const Vec* authored = nullptr;
        Vec given;
        if (!vertexNormals.empty()) {
            const float* v = &vertexNormals[size_t{triangles[c]} * 3];
            given = Vec{v[0], v[1], v[2]};
            if (Dot(given, given) > 0.0) authored = &given;
        }
        SetNormal(authored != nullptr ? *authored : sum[c], out[c]);
    }
    return out;
}
