// Vertices that stand at the same place: many formats repeat a position for every face that
// meets there (STL always does), and smooth normals and shared vertices need them found again.
#pragma once

#include <cstdint>
#include <vector>

// For each vertex of `positions` (x, y, z per vertex), the first vertex with exactly the same
// coordinates (+0 and -0 taken as one); itself when it is the first.
std::vector<uint32_t> SamePositions(const std::vector<float>& positions);
