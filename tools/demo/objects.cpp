#include "tools/demo/objects.h"

#include "tools/demo/boxes.h"
#include "tools/demo/courtyard.h"
#include "tools/demo/round.h"
#include "tools/demo/texture_ids.h"

namespace {

// A wall piece's faces lie this far either side of its centre line.
constexpr double kHalfWall = kWallThickness / 2;

// Swapping x and z turns a piece built along x into one along z.
Vec3 Turned(Vec3 p, bool alongZ) {
    return alongZ ? Vec3{p.z, p.y, p.x} : p;
}

// The sandstone capping on top of every wall piece, 4 m long, overhanging both faces by 0.1 m.
void AddCoping(Mesh& mesh, bool alongZ) {
    const Vec3 lo{-2.0, 3.8, -kHalfWall - 0.1}, hi{2.0, 4.1, kHalfWall + 0.1};
    AddBox(mesh, Turned(lo, alongZ), Turned(hi, alongZ), kSandstone, true);
}

// Four segments with their corners on the diagonals: a square pyramid or shaft whose sides face
// the axes, as the boxes' do.
RoundLook Square(TextureId texture) {
    RoundLook look;
    look.segments = 4;
    look.startAngle = kTwoPi / 8;
    look.texture = texture;
    return look;
}

}  // namespace

Mesh BuildFloor() {
    Mesh mesh;
    const double side = 2.0 * kCourtyardHalf;
    AddFace(mesh, Vec3{-kCourtyardHalf, 0.0, kCourtyardHalf}, Vec3{side, 0, 0}, Vec3{0, 0, -side},
            kFlagstone, 1.0);
    return mesh;
}

// A piece of courtyard wall, running along x or along z.
Mesh BuildWall(bool alongZ) {
    Mesh mesh;
    const Vec3 lo{-2.0, 0.0, -kHalfWall}, hi{2.0, 3.8, kHalfWall};
    AddBox(mesh, Turned(lo, alongZ), Turned(hi, alongZ), kBrick);
    AddCoping(mesh, alongZ);
    return mesh;
}

// A wall piece along x with a doorway 2.4 m wide and 3 m high in a sandstone frame.
Mesh BuildGate() {
    Mesh mesh;
    AddBox(mesh, Vec3{-2.0, 0.0, -kHalfWall}, Vec3{-1.4, 3.8, kHalfWall}, kBrick);
    AddBox(mesh, Vec3{1.4, 0.0, -kHalfWall}, Vec3{2.0, 3.8, kHalfWall}, kBrick);
    AddBox(mesh, Vec3{-1.4, 3.4, -kHalfWall}, Vec3{1.4, 3.8, kHalfWall}, kBrick);
    // The frame stands 6 cm proud of both faces of the wall.
    const double frame = kHalfWall + 0.06;
    AddBox(mesh, Vec3{-1.4, 0.0, -frame}, Vec3{-1.2, 3.0, frame}, kSandstone);
    AddBox(mesh, Vec3{1.2, 0.0, -frame}, Vec3{1.4, 3.0, frame}, kSandstone);
    AddBox(mesh, Vec3{-1.4, 3.0, -frame}, Vec3{1.4, 3.4, frame}, kSandstone, true);
    AddBox(mesh, Vec3{-1.2, 0.0, -kHalfWall}, Vec3{1.2, 0.04, kHalfWall}, kSandstone);  // threshold
    AddCoping(mesh, false);
    return mesh;
}

// The square pier at each corner of the courtyard, capped with a metal pyramid.
Mesh BuildPier() {
    Mesh mesh;
    AddBox(mesh, Vec3{-0.6, 0.0, -0.6}, Vec3{0.6, 4.6, 0.6}, kSandstone);
    AddBox(mesh, Vec3{-0.72, 4.6, -0.72}, Vec3{0.72, 4.85, 0.72}, kSandstone, true);
    AddCone(mesh, Vec3{0, 4.85, 0}, 0.6, 0.8, Square(kMetal));
    return mesh;
}

// A column 4 m high: square base, tapering round shaft, flared capital.
Mesh BuildColumn() {
    Mesh mesh;
    AddBox(mesh, Vec3{-0.45, 0.0, -0.45}, Vec3{0.45, 0.3, 0.45}, kSandstone);
    RoundLook shaft;
    shaft.rings = 4;
    shaft.uRepeats = 2.0;
    AddFrustum(mesh, Vec3{0, 0.3, 0}, 0.3, 0.26, 3.4, shaft);
    shaft.rings = 1;
    AddFrustum(mesh, Vec3{0, 3.7, 0}, 0.26, 0.4, 0.15, shaft);
    AddBox(mesh, Vec3{-0.45, 3.85, -0.45}, Vec3{0.45, 4.0, 0.45}, kSandstone, true);
    return mesh;
}

// The beam that one row of five columns carries, 17 m long along z.
Mesh BuildArchitrave() {
    Mesh mesh;
    AddBox(mesh, Vec3{-0.45, 0.0, -8.45}, Vec3{0.45, 0.5, 8.45}, kSandstone, true);
    return mesh;
}

// Five steps of 0.2 m rising towards -z, up to the height of a platform.
Mesh BuildStairs() {
    Mesh mesh;
    for (int i = 0; i < 5; ++i) {
        AddBox(mesh, Vec3{-1.5, 0.0, -0.35 * (i + 1)}, Vec3{1.5, 0.2 * (i + 1), -0.35 * i},
               kSandstone);
    }
    return mesh;
}

Mesh BuildPlatform() {
    Mesh mesh;
    BoxLook look{kSandstone, kFlagstone};
    AddBox(mesh, Vec3{-2.5, 0.0, -2.5}, Vec3{2.5, 1.0, 2.5}, look);
    return mesh;
}

// A 1 m crate with one corner at the origin, so that each face shows the whole picture.
Mesh BuildCrate() {
    Mesh mesh;
    AddBox(mesh, Vec3{0, 0, 0}, Vec3{1, 1, 1}, kCrate);
    return mesh;
}

// An iron lamp post with a square lantern under a pyramid cap.
Mesh BuildLamp() {
    Mesh mesh;
    AddBox(mesh, Vec3{-0.18, 0.0, -0.18}, Vec3{0.18, 0.25, 0.18}, kMetal);
    RoundLook post;
    post.segments = 8;
    post.texture = kMetal;
    AddFrustum(mesh, Vec3{0, 0.25, 0}, 0.07, 0.05, 2.35, post);
    AddBox(mesh, Vec3{-0.16, 2.6, -0.16}, Vec3{0.16, 2.95, 0.16}, kMetal, true);
    const RoundLook cap = Square(kMetal);
    AddCone(mesh, Vec3{0, 2.95, 0}, 0.3, 0.3, cap);
    AddDisc(mesh, Vec3{0, 2.95, 0}, 0.3, false, cap);
    return mesh;
}

// A round rubble tower, 12 m to the parapet, under a pointed tiled roof.
Mesh BuildTower() {
    Mesh mesh;
    RoundLook wall;
    wall.segments = 20;
    wall.rings = 6;
    wall.texture = kRubble;
    wall.uRepeats = 5.0;
    AddFrustum(mesh, Vec3{0, 0, 0}, 3.2, 2.9, 12.0, wall);
    wall.rings = 1;
    AddFrustum(mesh, Vec3{0, 12.0, 0}, 2.9, 3.4, 0.6, wall);
    AddFrustum(mesh, Vec3{0, 12.6, 0}, 3.4, 3.4, 1.2, wall);
    RoundLook roof;
    roof.segments = 20;
    roof.texture = kRoof;
    roof.uRepeats = 10.0;
    AddCone(mesh, Vec3{0, 13.8, 0}, 3.9, 6.0, roof);
    AddDisc(mesh, Vec3{0, 13.8, 0}, 3.9, false, roof);
    return mesh;
}

// A tapering square needle on a pedestal, tipped with metal; 8.6 m high.
Mesh BuildObelisk() {
    Mesh mesh;
    AddBox(mesh, Vec3{-1.0, 0.0, -1.0}, Vec3{1.0, 0.6, 1.0}, kSandstone);
    RoundLook shaft = Square(kSandstone);
    shaft.rings = 3;
    shaft.uRepeats = 4.0;
    AddFrustum(mesh, Vec3{0, 0.6, 0}, 0.9, 0.6, 7.0, shaft);
    shaft.texture = kMetal;
    AddCone(mesh, Vec3{0, 7.6, 0}, 0.6, 1.0, shaft);
    return mesh;
}

// A fir: a short trunk under three stacked cones of needles; 7 m high.
Mesh BuildFir() {
    Mesh mesh;
    RoundLook trunk;
    trunk.segments = 7;
    trunk.texture = kBark;
    AddFrustum(mesh, Vec3{0, 0, 0}, 0.22, 0.14, 2.6, trunk);
    RoundLook crown;
    crown.segments = 12;
    crown.texture = kLeaves;
    crown.uRepeats = 4.0;
    const double tiers[3][3] = {{1.4, 2.0, 3.2}, {2.9, 1.6, 2.9}, {4.3, 1.1, 2.7}};
    for (const auto& tier : tiers) {
        AddCone(mesh, Vec3{0, tier[0], 0}, tier[1], tier[2], crown);
        AddDisc(mesh, Vec3{0, tier[0], 0}, tier[1], false, crown);
    }
    return mesh;
}

Mesh BuildBounds() {
    Mesh mesh;
    mesh.hidden = 1;
    BoxLook look{kSandstone, kSandstone, true, 100.0};
    AddBox(mesh, Vec3{-kCourtyardHalf, 0.0, -kCourtyardHalf},
           Vec3{kCourtyardHalf, 6.0, kCourtyardHalf}, look);
    return mesh;
}
