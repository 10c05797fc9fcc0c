// A closed mesh of the kind a 3D scanner gives: a round body with broad bumps and fine noise on
// every vertex, made of small triangles of about equal size. Stands in for the statues and
// busts a user opens; its faces, unlike a height field's, cover each other from every side.
#pragma once

#include <cstdint>

#include "bench/lib/model_files.h"

// About `faces` faces (never fewer), about 2 units across, centred on the origin, z up; no hole
// and no seam: every edge is shared by exactly two faces. The same seed gives the same mesh.
TriangleMesh ScanLikeSphere(int64_t faces, uint32_t seed);
