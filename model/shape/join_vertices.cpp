#include "model/shape/join_vertices.h"

#include <cstdint>
#include <cstring>  // memcmp, memcpy
#include <vector>

namespace {

// One vertex's values as bytes, the position first.
struct Key {
    unsigned char bytes[12 + 12 + 8 + 4];
    size_t size;
};

Key KeyOf(const SourceMesh& mesh, size_t v) {
    Key key{};
    size_t at = 0;
    auto put = [&](const void* from, size_t size) {
        std::memcpy(key.bytes + at, from, size);
        at += size;
    };
    put(&mesh.positions[v * 3], 12);
    if (!mesh.normals.empty()) put(&mesh.normals[v * 3], 12);
    if (!mesh.uvs.empty()) put(&mesh.uvs[v * 2], 8);
    if (!mesh.colours.empty()) put(&mesh.colours[v * 4], 4);
    key.size = at;
    return key;
}

uint64_t Hash(const Key& key) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < key.size; ++i) hash = (hash ^ key.bytes[i]) * 0x100000001b3ull;
    return hash ^ (hash >> 31);
}

template <typename T>
void Keep(std::vector<T>& values, size_t per, const std::vector<uint32_t>& kept) {
    if (values.empty()) return;
    for (size_t i = 0; i < kept.size(); ++i) {
        for (size_t k = 0; k < per; ++k) values[i * per + k] = values[kept[i] * per + k];
    }
    values.resize(kept.size() * per);
}

}  // namespace

void JoinVertices(SourceMesh& mesh) {
    const size_t n = mesh.positions.size() / 3;
    size_t size = 16;
    while (size < n * 2) size *= 2;
    std::vector<uint32_t> table(size, UINT32_MAX);  // a kept vertex's new index
    std::vector<uint32_t> kept;                     // its old index
    std::vector<uint32_t> to(n);
    for (size_t v = 0; v < n; ++v) {
        const Key key = KeyOf(mesh, v);
        for (size_t slot = Hash(key) & (size - 1);; slot = (slot + 1) & (size - 1)) {
            if (table[slot] == UINT32_MAX) {
                table[slot] = static_cast<uint32_t>(kept.size());
                to[v] = table[slot];
                kept.push_back(static_cast<uint32_t>(v));
                break;
            }
            const Key there = KeyOf(mesh, kept[table[slot]]);
            if (std::memcmp(there.bytes, key.bytes, key.size) == 0) {
                to[v] = table[slot];
                break;
            }
        }
    }
    if (kept.size() == n) return;
    for (uint32_t& corner : mesh.triangles) corner = to[corner];
    Keep(mesh.positions, 3, kept);
    Keep(mesh.normals, 3, kept);
    Keep(mesh.uvs, 2, kept);
    Keep(mesh.colours, 4, kept);
}
