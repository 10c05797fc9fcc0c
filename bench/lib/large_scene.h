// Large generated scenes for the benchmarks, in the project's own formats.
//
// The geometry is a jittered grid: every face is valid, the numbers look like a modeller's
// output (six decimals), and the same seed always gives the same bytes.
//
// The grid, y up: vertex i stands in row i / GridSide, column i % GridSide, at x = -5 + column *
// kGridSpacing, z = -row * kGridSpacing, y = sin(column * 0.01), each moved by a jitter of at most
// kGridSpacing / 4 in x and z and 0.01 in y, so it never leaves its cell (unless shardSize says).
// Each cell holds two faces, counter-clockwise seen from above.
#pragma once

#include <cstdint>
#include <string>

#include "bench/lib/model_files.h"

constexpr double kGridSpacing = 0.008;  // between neighbouring grid points, in scene units

struct LargeMesh {
    int64_t vertexCount = 0;
    int64_t faceCount = 0;
    int32_t textureCount = 1;  // faces cycle through this many texture indices
    uint32_t seed = 1;
    int32_t hidden = 0;  // the object file's hidden value: non-zero, no face is drawn
    // Above 0: every vertex is thrown up to this far (scene units) in x, y and z, off its cell,
    // and the faces become large overlapping shards: a deliberately fill-heavy worst case.
    double shardSize = 0.0;
};

// A mesh with about `faces` faces (two per grid cell, so about half as many vertices).
LargeMesh MeshWithFaces(int64_t faces, int32_t textures);
// Grid points per row (and rows at most).
int64_t GridSide(const LargeMesh& mesh);

// The mesh's positions and faces, for the model file writers.
TriangleMesh GridTriangles(const LargeMesh& mesh);

// Writes the mesh as an object file of the viewer.
bool WriteObjectFile(const std::string& path, const LargeMesh& mesh);
// Writes the same geometry as a Wavefront OBJ file (v, vt and f v/vt records).
bool WriteWavefrontFile(const std::string& path, const LargeMesh& mesh);
// Writes a whole scene under `root`: root/data/bench.scn naming one object file of the mesh,
// `mesh.textureCount` small TGA textures and a camera looking at the mesh. Returns the scene
// file's path relative to `root`.
std::string WriteLargeScene(const std::string& root, const LargeMesh& mesh);

// Reads an object file the straightforward way, the yardstick of the readers: formatted stream
// extraction, integers taking their base from the prefix. False when a read failed.
bool LoadWithIostream(const std::string& path);

// Size of a file in bytes, -1 when it does not exist.
int64_t FileSize(const std::string& path);
