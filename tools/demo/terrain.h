// The meadow round the courtyard: flat near the walls, rising into low hills towards the edge of
// the view, so that the fog has slopes to swallow.
#pragma once

#include <vector>

#include "tools/demo/mesh.h"

struct Terrain {
    std::vector<double> lines;    // grid lines, the same along x and z, ascending
    std::vector<double> heights;  // one per grid point, z line by z line
};

Terrain MakeTerrain();

// The terrain's surface outside the courtyard, meeting the walls' outer faces exactly.
Mesh BuildMeadow(const Terrain& terrain);

// Height of the meadow's surface as drawn (on its triangles) at (x, z).
double TerrainHeight(const Terrain& terrain, double x, double z);

// The height to stand a thing of the given footprint radius on: the lowest ground under its rim,
// a little lower still, so that it is sunk into a slope rather than floating above it.
double GroundUnder(const Terrain& terrain, double x, double z, double radius);
