// A model file read through assimp, the established import library, into a Model.
#pragma once

#include <string>

#include "tools/import/model.h"

// Large meshes are cut by assimp into pieces of at most this many vertices and this many
// triangles, so that no object file grows past a few megabytes and no count nears the reader's
// limits.
constexpr unsigned kMaxMeshVertices = 65536;
constexpr unsigned kMaxMeshFaces = 65536;

// Reads `path` with every node transform applied, polygons triangulated and UV transforms baked
// in; points and lines are counted and left out, faces with a corner at infinity or NaN left out
// with a warning. False, with `error` saying why (assimp's own reason when assimp refuses the
// file), when the file cannot be read or holds no triangle to show; the warnings then say what
// was left out.
bool ReadModel(const std::string& path, Model& model, std::string& error);
