// Round shapes about a vertical axis, cut into segments and textured as mesh.h says.
#pragma once

#include "tools/demo/mesh.h"
#include "tools/demo/texture_ids.h"

constexpr double kTwoPi = 6.283185307179586;  // a whole turn, in radians

// Point at `angle` radians round a vertical axis: 0 towards +z, a quarter turn towards +x.
Vec3 OnCircle(Vec3 centre, double radius, double angle);

struct RoundLook {
    int segments = 16;
    double startAngle = 0.0;  // radians, as OnCircle takes them: 0 puts a corner towards +z
    int rings = 1;            // horizontal cuts of the side, for long shafts
    TextureId texture = kSandstone;
    double uRepeats = 1.0;  // whole repeats round the side, so the seam matches
};

// The side of a vertical frustum from radius r0 at base to r1 at base + height.
void AddFrustum(Mesh& mesh, Vec3 base, double r0, double r1, double height, RoundLook look);

// A cone from a base circle up to its apex; a pointed roof or a fir's crown.
void AddCone(Mesh& mesh, Vec3 base, double radius, double height, RoundLook look);

// A flat round cap facing up or down; texture laid flat, as on a floor.
void AddDisc(Mesh& mesh, Vec3 centre, double radius, bool facingUp, RoundLook look);
