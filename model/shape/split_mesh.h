// Large meshes cut into object files of a sensible size.
#pragma once

#include <vector>

#include "model/records/model.h"

// No object file gets more than this many vertices or faces, so that none grows past a few
// megabytes and no count nears the reader's limits.
constexpr size_t kMaxMeshVertices = 65536;
constexpr size_t kMaxMeshFaces = 65536;

// `mesh` as pieces of at most kMaxMeshVertices vertices and kMaxMeshFaces faces, faces in their
// order, each piece holding only the vertices its faces use; `mesh` itself when it is small
// enough.
std::vector<Mesh> SplitMesh(Mesh mesh);
