// Flat faces and the boxes made of them, cut into cells and textured as mesh.h says.
#pragma once

#include "tools/demo/mesh.h"
#include "tools/demo/texture_ids.h"

// The parallelogram with corners origin, origin + side, origin + side + up and origin + up,
// facing the direction side x up; its texture's u runs along `side` and v along `up`. Cut into
// cells of at most `cellSize` metres, so that the software renderer's per-vertex fog and
// perspective stay smooth across large faces.
void AddFace(Mesh& mesh, Vec3 origin, Vec3 side, Vec3 up, TextureId texture, double cellSize);

struct BoxLook {
    TextureId sides;
    TextureId top;
    bool bottom = false;  // most boxes stand on something and never show their underside
    double cellSize = 1.0;
};

// The axis-aligned box between corners lo and hi.
void AddBox(Mesh& mesh, Vec3 lo, Vec3 hi, BoxLook look);
void AddBox(Mesh& mesh, Vec3 lo, Vec3 hi, TextureId texture, bool bottom = false);
