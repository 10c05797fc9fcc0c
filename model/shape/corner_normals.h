// A normal for every corner of every face, smooth across gentle edges and hard across sharp ones,
// as a lit surface needs them.
#pragma once

#include <cstdint>
#include <vector>

// Faces meeting at an edge more sharply than this keep their edge hard: a cube's edges stay
// sharp, a sphere of a dozen segments around looks round.
constexpr double kCreaseDegrees = 60.0;

struct Normal {
    float x = 0.0f, y = 1.0f, z = 0.0f;
};

// The normals of `triangles`' corners (three per face, in the order of `triangles`), unit length.
// `position` is SamePositions(positions). Corners at the same position share the normal of those
// faces around them that meet their own face within kCreaseDegrees, each weighted by its angle
// there. Where `vertexNormals` (one triple per vertex) is not empty, a corner takes its vertex's
// normal instead, unless that one has no length. A corner of a face without area takes the
// normal of the faces around it, or +Y when it has none.
std::vector<Normal> CornerNormals(const std::vector<float>& positions,
                                  const std::vector<uint32_t>& position,
                                  const std::vector<uint32_t>& triangles,
                                  const std::vector<float>& vertexNormals);
