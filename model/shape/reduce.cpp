#include "model/shape/reduce.h"

#include <algorithm>  // copy_n, max, min
#include <cmath>      // floor
#include <cstdint>
#include <vector>

namespace {

struct Bounds {
    float lo[3] = {0, 0, 0};
    double cell = 0.0;  // side of a cell; 0 when the model has no extent
};

Bounds GridOver(const ModelData& model, int cells) {
    Bounds bounds;
    float hi[3] = {0, 0, 0};
    bool first = true;
    for (const SourceMesh& mesh : model.meshes) {
        for (size_t i = 0; i < mesh.positions.size(); i += 3) {
            for (int k = 0; k < 3; ++k) {
                const float p = mesh.positions[i + k];
                bounds.lo[k] = first ? p : std::min(bounds.lo[k], p);
                hi[k] = first ? p : std::max(hi[k], p);
            }
            first = false;
        }
    }
    double largest = 0.0;
    for (int k = 0; k < 3; ++k) largest = std::max(largest, double{hi[k]} - bounds.lo[k]);
    bounds.cell = largest / cells;
    return bounds;
}

// The cell of vertex `v`: three coordinates of 21 bits in one key.
uint64_t CellOf(const SourceMesh& mesh, size_t v, const Bounds& grid, int cells) {
    uint64_t key = 0;
    for (int k = 0; k < 3; ++k) {
        const double at = std::floor((mesh.positions[v * 3 + k] - grid.lo[k]) / grid.cell);
        key = key << 21 |
              static_cast<uint64_t>(std::min(std::max(at, 0.0), static_cast<double>(cells)));
    }
    return key;
}

template <typename T>
void KeepFirst(const std::vector<T>& from, size_t width, const std::vector<uint32_t>& first,
               std::vector<T>& to) {
    if (from.empty()) return;
    to.resize(first.size() * width);
    for (size_t c = 0; c < first.size(); ++c) {
        std::copy_n(from.begin() + first[c] * width, width, to.begin() + c * width);
    }
}

// Each vertex's cell, numbered in the order the cells are first met: an open-addressing table of
// the cells' keys, twice as large as the vertices, so that a look-up rarely probes far.
std::vector<uint32_t> CellNumbers(const SourceMesh& mesh, const Bounds& grid, int cells,
                                  std::vector<uint32_t>& first) {
    const size_t n = mesh.positions.size() / 3;
    int bits = 1;
    while ((size_t{1} << bits) < 2 * n) ++bits;
    const size_t mask = (size_t{1} << bits) - 1;
    std::vector<uint64_t> keys(mask + 1, 0);  // the cell's key + 1; 0: empty
    std::vector<uint32_t> numbers(mask + 1, 0);
    std::vector<uint32_t> joined(n);
    for (size_t v = 0; v < n; ++v) {
        const uint64_t key = CellOf(mesh, v, grid, cells) + 1;
        size_t at = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - bits));
        while (keys[at] != 0 && keys[at] != key) at = (at + 1) & mask;
        if (keys[at] == 0) {
            keys[at] = key;
            numbers[at] = static_cast<uint32_t>(first.size());
            first.push_back(static_cast<uint32_t>(v));
        }
        joined[v] = numbers[at];
    }
    return joined;
}

// The normal of each joined vertex, from the surface as it was: the sum of its vertices' own
// normals, or else of the faces around them weighted by their area. Joining leaves faces folded
// over their neighbours; lit by their own normals they would show as dark specks.
std::vector<float> JoinedNormals(const SourceMesh& mesh, const std::vector<uint32_t>& joined,
                                 size_t count) {
    std::vector<double> sum(count * 3, 0.0);
    if (!mesh.normals.empty()) {
        for (size_t v = 0; v < joined.size(); ++v) {
            for (int k = 0; k < 3; ++k) sum[size_t{joined[v]} * 3 + k] += mesh.normals[v * 3 + k];
        }
    } else {
        const float* p = mesh.positions.data();
        for (size_t f = 0; f + 2 < mesh.triangles.size(); f += 3) {
            const uint32_t* corner = &mesh.triangles[f];
            const float *a = p + size_t{corner[0]} * 3, *b = p + size_t{corner[1]} * 3,
                        *c = p + size_t{corner[2]} * 3;
            const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const double w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            const double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                                 u[0] * w[1] - u[1] * w[0]};
            for (int i = 0; i < 3; ++i) {
                for (int k = 0; k < 3; ++k) sum[size_t{joined[corner[i]]} * 3 + k] += n[k];
            }
        }
    }
    std::vector<float> normals(count * 3, 0.0f);
    for (size_t c = 0; c < count; ++c) {
        const double* n = &sum[c * 3];
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (!(length > 0.0)) continue;  // the builder makes its own where it has none
        for (int k = 0; k < 3; ++k) normals[c * 3 + k] = static_cast<float>(n[k] / length);
    }
    return normals;
}

SourceMesh Reduced(const SourceMesh& mesh, const Bounds& grid, int cells) {
    const size_t n = mesh.positions.size() / 3;
    std::vector<uint32_t> first;  // each joined vertex's first vertex
    const std::vector<uint32_t> joined = CellNumbers(mesh, grid, cells, first);
    std::vector<double> sum(first.size() * 3, 0.0);  // x, y, z per joined vertex
    for (size_t v = 0; v < n; ++v) {
        for (int k = 0; k < 3; ++k) sum[size_t{joined[v]} * 3 + k] += mesh.positions[v * 3 + k];
    }
    SourceMesh out;
    out.material = mesh.material;
    out.positions.resize(first.size() * 3);
    std::vector<uint32_t> members(first.size(), 0);
    for (size_t v = 0; v < n; ++v) ++members[joined[v]];
    for (size_t c = 0; c < first.size(); ++c) {
        for (int k = 0; k < 3; ++k) {
            out.positions[c * 3 + k] = static_cast<float>(sum[c * 3 + k] / members[c]);
        }
    }
    out.normals = JoinedNormals(mesh, joined, first.size());
    KeepFirst(mesh.uvs, 2, first, out.uvs);
    KeepFirst(mesh.colours, 4, first, out.colours);
    for (size_t f = 0; f + 2 < mesh.triangles.size(); f += 3) {
        const uint32_t a = joined[mesh.triangles[f]], b = joined[mesh.triangles[f + 1]],
                       c = joined[mesh.triangles[f + 2]];
        if (a != b && b != c && a != c) out.triangles.insert(out.triangles.end(), {a, b, c});
    }
    return out;
}

size_t FacesOf(const std::vector<SourceMesh>& meshes) {
    size_t faces = 0;
    for (const SourceMesh& mesh : meshes) faces += mesh.triangles.size() / 3;
    return faces;
}

// The faces' area: a surface cut by a grid of cells of side h has about 2 area / h^2 faces.
double AreaOf(const std::vector<SourceMesh>& meshes) {
    double area = 0.0;
    for (const SourceMesh& mesh : meshes) {
        const float* p = mesh.positions.data();
        for (size_t f = 0; f + 2 < mesh.triangles.size(); f += 3) {
            const float* a = p + size_t{mesh.triangles[f]} * 3;
            const float* b = p + size_t{mesh.triangles[f + 1]} * 3;
            const float* c = p + size_t{mesh.triangles[f + 2]} * 3;
            const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const double w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            area += std::sqrt(std::pow(u[1] * w[2] - u[2] * w[1], 2) +
                              std::pow(u[2] * w[0] - u[0] * w[2], 2) +
                              std::pow(u[0] * w[1] - u[1] * w[0], 2)) /
                    2;
        }
    }
    return area;
}

}  // namespace

size_t ReduceModel(ModelData& model, size_t maxFaces, int cells) {
    const size_t faces = FacesOf(model.meshes);
    if (faces <= maxFaces) return 0;
    cells = std::min(cells, 1 << 20);  // a cell's coordinates fit 21 bits of its key
    // The grid the faces' area says fits, with room to spare, when it is coarser than `cells`.
    const Bounds finest = GridOver(model, cells);
    const double fitting = std::sqrt(2.0 * AreaOf(model.meshes) / (0.8 * maxFaces));
    if (fitting > finest.cell && std::isfinite(fitting)) {
        cells = std::max(8, static_cast<int>(cells * finest.cell / fitting));
    }
    std::vector<SourceMesh> meshes;
    for (; cells >= 8; cells /= 2) {
        const Bounds grid = GridOver(model, cells);
        if (!(grid.cell > 0.0)) return 0;
        meshes.clear();
        for (const SourceMesh& mesh : model.meshes) {
            SourceMesh reduced = Reduced(mesh, grid, cells);
            if (!reduced.triangles.empty()) meshes.push_back(std::move(reduced));
        }
        if (FacesOf(meshes) <= maxFaces) break;
    }
    if (meshes.empty()) return 0;  // nothing would be left to show
    model.meshes = std::move(meshes);
    return faces;
}
