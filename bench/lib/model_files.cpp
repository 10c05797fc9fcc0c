#include "bench/lib/model_files.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Appends the bytes of `value` as they lie in memory: little-endian on every machine this runs on.
template <typename T>
void Put(std::vector<char>& bytes, T value) {
    char raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    bytes.insert(bytes.end(), raw, raw + sizeof(T));
}

bool WriteBytes(const std::string& path, const std::vector<char>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool whole = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && whole;
}

size_t FaceCount(const TriangleMesh& mesh) {
    return mesh.corners.size() / 3;
}

}  // namespace

void ToZUp(TriangleMesh& mesh) {
    // (x, y, z) to (x, -z, y): a quarter turn about x, so handedness and winding stay.
    for (size_t i = 0; i + 2 < mesh.positions.size(); i += 3) {
        const float y = mesh.positions[i + 1], z = mesh.positions[i + 2];
        mesh.positions[i + 1] = -z;
        mesh.positions[i + 2] = y;
    }
}

bool WriteBinaryPly(const std::string& path, const TriangleMesh& mesh) {
    char header[256];
    const int length = std::snprintf(header, sizeof header,
                                     "ply\nformat binary_little_endian 1.0\nelement vertex %zu\n"
                                     "property float x\nproperty float y\nproperty float z\n"
                                     "element face %zu\nproperty list uchar int vertex_indices\n"
                                     "end_header\n",
                                     mesh.positions.size() / 3, FaceCount(mesh));
    std::vector<char> bytes(header, header + length);
    bytes.reserve(bytes.size() + mesh.positions.size() * 4 + FaceCount(mesh) * 13);
    for (const float value : mesh.positions) Put(bytes, value);
    for (size_t f = 0; f < FaceCount(mesh); ++f) {
        Put(bytes, static_cast<uint8_t>(3));
        for (int k = 0; k < 3; ++k) Put(bytes, mesh.corners[f * 3 + k]);
    }
    return WriteBytes(path, bytes);
}

bool WriteBinaryStl(const std::string& path, const TriangleMesh& mesh) {
    std::vector<char> bytes(80, ' ');
    std::memcpy(bytes.data(), "binary STL", 10);  // not "solid": readers take that for text
    Put(bytes, static_cast<uint32_t>(FaceCount(mesh)));
    bytes.reserve(bytes.size() + FaceCount(mesh) * 50);
    for (size_t f = 0; f < FaceCount(mesh); ++f) {
        const float* p[3];
        for (int k = 0; k < 3; ++k) p[k] = &mesh.positions[mesh.corners[f * 3 + k] * size_t{3}];
        const float e1[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
        const float e2[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
        float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                      e1[0] * e2[1] - e1[1] * e2[0]};
        const float norm = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (float& value : n) value = norm > 0.0f ? value / norm : 0.0f;
        for (const float value : n) Put(bytes, value);
        for (int k = 0; k < 3; ++k) {
            for (int axis = 0; axis < 3; ++axis) Put(bytes, p[k][axis]);
        }
        Put(bytes, static_cast<uint16_t>(0));
    }
    return WriteBytes(path, bytes);
}
