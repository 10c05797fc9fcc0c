// Plain triangle meshes written as the model files a user would open: binary PLY and binary STL,
// the formats of scans and of most large meshes passed between programs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TriangleMesh {
    std::vector<float> positions;  // x, y, z per vertex
    std::vector<int32_t> corners;  // three vertex indices per face, counter-clockwise outside

    TriangleMesh() = default;
    TriangleMesh(TriangleMesh&&) = default;
    TriangleMesh& operator=(TriangleMesh&&) = default;
    TriangleMesh(const TriangleMesh&) = delete;
    TriangleMesh& operator=(const TriangleMesh&) = delete;
};

// Turns a mesh made with y up into z up, the convention of PLY and STL files (and of the programs
// that read them), keeping the faces' winding.
void ToZUp(TriangleMesh& mesh);

// Little-endian binary PLY: float x, y, z per vertex, a uchar-counted int list per face. False
// when the file could not be written whole.
bool WriteBinaryPly(const std::string& path, const TriangleMesh& mesh);
// Binary STL: every face with its own three corners and its unit normal. False as above.
bool WriteBinaryStl(const std::string& path, const TriangleMesh& mesh);
