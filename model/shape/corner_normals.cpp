#include "model/shape/corner_normals.h"

#include <algorithm>  // max, min
#include <cmath>

#include "scene/parallel.h"  // the passes over a large mesh, on every core

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

// atan2(y, x) for y >= 0, to within 3e-4: a corner's angle only weighs its face's normal, and
// the library's own took a fifth of the time of smoothing a large mesh.
double AngleOf(double y, double x) {
    const double ax = std::abs(x);
    const double big = std::max(ax, y);
    if (big == 0.0) return 0.0;
    const double a = std::min(ax, y) / big, s = a * a;
    double r = ((-0.0464964749 * s + 0.15931422) * s - 0.327622764) * s * a + a;
    if (y > ax) r = 1.57079632679489661923 - r;
    return x < 0.0 ? 3.14159265358979323846 - r : r;
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
    std::vector<Vec> unit(faces);
    std::vector<float> angle(triangles.size());
    const int faceParts = WorkersFor(faces * 64);
    RunInParallel(faceParts, [&](int part) {
        for (size_t f = faces * part / faceParts; f < faces * (part + 1) / faceParts; ++f) {
            const float* p[3];
            for (int k = 0; k < 3; ++k) p[k] = &positions[size_t{triangles[f * 3 + k]} * 3];
            const Vec cross = Cross(Sub(p[1], p[0]), Sub(p[2], p[0]));
            unit[f] = Unit(cross);
            const double twiceArea = std::sqrt(Dot(cross, cross));  // the same at every corner
            for (int k = 0; k < 3; ++k) {
                const double along = Dot(Sub(p[(k + 1) % 3], p[k]), Sub(p[(k + 2) % 3], p[k]));
                angle[f * 3 + k] = static_cast<float>(AngleOf(twiceArea, along));
            }
        }
    });
    auto weighted = [&](uint32_t c) {
        const Vec& u = unit[c / 3];
        return Vec{u.x * angle[c], u.y * angle[c], u.z * angle[c]};
    };
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
    // Positions are independent of one another: each thread takes a range of them, and each
    // corner belongs to one position only.
    const int parts = WorkersFor(triangles.size() * 16);
    RunInParallel(parts, [&](int part) {
        std::vector<Vec> groupSeed, groupSum;
        std::vector<size_t> groupOf;
        for (size_t p = n * part / parts; p < n * (part + 1) / parts; ++p) {
            const uint32_t* first = corners.data() + start[p];
            const uint32_t* last = corners.data() + start[p + 1];
            if (first == last) continue;  // a vertex that stands for no place of its own
            Vec all;
            for (const uint32_t* c = first; c != last; ++c) Add(all, weighted(*c));
            // The file's own normal where it has one with a length; else the smoothed one.
            auto set = [&](uint32_t c, const Vec& smoothed) {
                if (!vertexNormals.empty()) {
                    const float* v = &vertexNormals[size_t{triangles[c]} * 3];
                    const Vec given{v[0], v[1], v[2]};
                    if (Dot(given, given) > 0.0) return SetNormal(given, out[c]);
                }
                SetNormal(Dot(unit[c / 3], unit[c / 3]) == 0.0 ? all : smoothed, out[c]);
            };
            if (static_cast<size_t>(last - first) <= kPairwiseFaces) {
                // Mostly the faces around a place all meet within the crease: each corner then
                // takes them all.
                bool smooth = true;
                for (const uint32_t* c = first; c != last && smooth; ++c) {
                    for (const uint32_t* d = c + 1; d != last && smooth; ++d) {
                        smooth = Dot(unit[*c / 3], unit[*d / 3]) >= creaseCosine;
                    }
                }
                if (smooth && Dot(unit[*first / 3], unit[*first / 3]) != 0.0) {
                    for (const uint32_t* c = first; c != last; ++c) set(*c, all);
                    continue;
                }
                for (const uint32_t* c = first; c != last; ++c) {
                    const Vec own = unit[*c / 3];
                    Vec sum;
                    for (const uint32_t* d = first; d != last; ++d) {
                        if (Dot(own, unit[*d / 3]) >= creaseCosine) Add(sum, weighted(*d));
                    }
                    set(*c, sum);
                }
                continue;
            }
            groupSeed.clear();
            groupSum.clear();
            groupOf.assign(static_cast<size_t>(last - first), 0);
            for (const uint32_t* c = first; c != last; ++c) {
                const Vec own = unit[*c / 3];
                if (Dot(own, own) == 0.0) continue;  // takes `all`
                size_t g = 0;
                while (g < groupSeed.size() && Dot(own, groupSeed[g]) < creaseCosine) ++g;
                if (g == groupSeed.size()) {
                    groupSeed.push_back(own);
                    groupSum.push_back(Vec{});
                }
                Add(groupSum[g], weighted(*c));
                groupOf[static_cast<size_t>(c - first)] = g;
            }
            for (const uint32_t* c = first; c != last; ++c) {
                set(*c, groupSum.empty() ? all : groupSum[groupOf[static_cast<size_t>(c - first)]]);
            }
        }
    });
    return out;
}
