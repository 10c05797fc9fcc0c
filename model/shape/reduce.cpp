#include "model/shape/reduce.h"

#include <algorithm>  // max, min, sort
#include <cmath>      // floor
#include <cstdint>
#include <utility>  // pair
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

SourceMesh Reduced(const SourceMesh& mesh, const Bounds& grid, int cells) {
    const size_t n = mesh.positions.size() / 3;
    std::vector<std::pair<uint64_t, uint32_t>> byCell(n);
    for (size_t v = 0; v < n; ++v) byCell[v] = {CellOf(mesh, v, grid, cells), uint32_t(v)};
    std::sort(byCell.begin(), byCell.end());
    std::vector<uint32_t> joined(n), first;  // each vertex's joined vertex; each one's first
    std::vector<double> sum;                 // x, y, z per joined vertex
    for (size_t i = 0; i < n; ++i) {
        const uint32_t v = byCell[i].second;
        if (i == 0 || byCell[i].first != byCell[i - 1].first) {
            first.push_back(v);
            sum.insert(sum.end(), {0.0, 0.0, 0.0});
        }
        std::vector<double>::iterator at = sum.end() - 3;
        for (int k = 0; k < 3; ++k) at[k] += mesh.positions[size_t{v} * 3 + k];
        joined[v] = static_cast<uint32_t>(first.size() - 1);
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
    KeepFirst(mesh.normals, 3, first, out.normals);
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

}  // namespace

size_t ReduceModel(ModelData& model, size_t maxFaces, int cells) {
    const size_t faces = FacesOf(model.meshes);
    if (faces <= maxFaces) return 0;
    cells = std::min(cells, 1 << 20);  // a cell's coordinates fit 21 bits of its key
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
