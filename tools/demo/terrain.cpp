#include "tools/demo/terrain.h"

#include <algorithm>  // min, max, sort, upper_bound
#include <cmath>      // sqrt, abs

#include "tools/demo/courtyard.h"
#include "tools/demo/noise.h"
#include "tools/demo/random.h"
#include "tools/demo/round.h"
#include "tools/demo/texture_ids.h"

namespace {

double GridHeight(const Terrain& terrain, size_t i, size_t j) {
    return terrain.heights[j * terrain.lines.size() + i];
}

bool InsideCourtyard(double x0, double x1, double z0, double z1) {
    return x0 >= -kCourtyardOuterHalf && x1 <= kCourtyardOuterHalf && z0 >= -kCourtyardOuterHalf &&
           z1 <= kCourtyardOuterHalf;
}

}  // namespace

Terrain MakeTerrain() {
    Terrain terrain;
    // Every 4 m out to the far plane, plus the courtyard's outer edge, so that the meadow meets
    // the walls exactly and overlaps neither them nor the floor.
    for (int k = -24; k <= 24; ++k) terrain.lines.push_back(4.0 * k);
    terrain.lines.push_back(-kCourtyardOuterHalf);
    terrain.lines.push_back(kCourtyardOuterHalf);
    std::sort(terrain.lines.begin(), terrain.lines.end());

    Random random = MakeRandom(0x7E44A1Eu);
    const NoiseLattice broad = MakeNoiseLattice(random, 16, 16);
    const NoiseLattice fine = MakeNoiseLattice(random, 16, 16);
    for (double z : terrain.lines) {
        for (double x : terrain.lines) {
            const double r = std::sqrt(x * x + z * z);
            double rise = std::min(1.0, std::max(0.0, (r - 36.0) / 44.0));
            rise = rise * rise * (3.0 - 2.0 * rise);
            const double bumps = 0.7 * SampleLattice(broad, x / 22.0, z / 22.0) +
                                 0.3 * SampleLattice(fine, x / 9.0, z / 9.0);
            terrain.heights.push_back(rise * (2.0 + 10.0 * bumps));
        }
    }
    return terrain;
}

// Cell (i, j) spans lines i to i + 1 in x and j to j + 1 in z. Its corners, counter-clockwise
// from above: a (x0, z1), b (x1, z1), c (x1, z0), d (x0, z0); it is cut along a-c.
Mesh BuildMeadow(const Terrain& terrain) {
    Mesh mesh;
    const double tile = DescribeTexture(kGrass).tileMetres;
    const std::vector<double>& l = terrain.lines;
    const size_t n = l.size();
    // Grid points strictly inside the courtyard belong to no cell and are left out.
    std::vector<int32_t> indexOf(n * n, -1);
    for (size_t j = 0; j < n; ++j) {
        for (size_t i = 0; i < n; ++i) {
            if (std::abs(l[i]) < kCourtyardOuterHalf && std::abs(l[j]) < kCourtyardOuterHalf)
                continue;
            indexOf[j * n + i] = AddVertex(mesh, Vec3{l[i], GridHeight(terrain, i, j), l[j]},
                                           l[i] / tile, -l[j] / tile);
        }
    }
    for (size_t j = 0; j + 1 < n; ++j) {
        for (size_t i = 0; i + 1 < n; ++i) {
            if (InsideCourtyard(l[i], l[i + 1], l[j], l[j + 1])) continue;
            const size_t d = j * n + i, a = d + n;
            AddQuad(mesh, indexOf[a], indexOf[a + 1], indexOf[d + 1], indexOf[d], kGrass);
        }
    }
    return mesh;
}

double TerrainHeight(const Terrain& terrain, double x, double z) {
    const std::vector<double>& l = terrain.lines;
    const size_t last = l.size() - 2;
    const size_t i =
        std::min<size_t>(last, std::upper_bound(l.begin(), l.end(), x) - l.begin() - 1);
    const size_t j =
        std::min<size_t>(last, std::upper_bound(l.begin(), l.end(), z) - l.begin() - 1);
    const double fx = (x - l[i]) / (l[i + 1] - l[i]);
    const double fz = (l[j + 1] - z) / (l[j + 1] - l[j]);  // 0 on edge a-b, 1 on edge d-c
    const double ha = GridHeight(terrain, i, j + 1), hb = GridHeight(terrain, i + 1, j + 1);
    const double hc = GridHeight(terrain, i + 1, j), hd = GridHeight(terrain, i, j);
    if (fx >= fz) return ha + (hb - ha) * fx + (hc - hb) * fz;
    return ha + (hd - ha) * fz + (hc - hd) * fx;
}

double GroundUnder(const Terrain& terrain, double x, double z, double radius) {
    double lowest = TerrainHeight(terrain, x, z);
    for (int k = 0; k < 16; ++k) {
        const Vec3 p = OnCircle(Vec3{x, 0, z}, radius, kTwoPi * k / 16);
        lowest = std::min(lowest, TerrainHeight(terrain, p.x, p.z));
    }
    return lowest > 0.0 ? lowest - 0.1 - 0.1 * radius : 0.0;
}
