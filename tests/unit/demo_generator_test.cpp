// Guards what the demo generator builds where a fault would show on screen though the demo still
// loads: a meadow that leaves a gap at the courtyard walls, fights with the floor or lets things
// float. (Every byte the generator writes is compared with the committed demo in demo_test.)
#include <gtest/gtest.h>

#include <string>

#include "tools/demo/courtyard.h"
#include "tools/demo/mesh.h"
#include "tools/demo/terrain.h"

namespace {

// The height of the meadow over (x, z), or -1000 where no face covers it.
double MeadowHeightAt(const Mesh& meadow, double x, double z) {
    for (const Face& f : meadow.faces) {
        const Vertex &a = meadow.vertices[f.a], &b = meadow.vertices[f.b],
                     &c = meadow.vertices[f.c];
        const double area = (b.x - a.x) * (c.z - a.z) - (c.x - a.x) * (b.z - a.z);
        const double wb = ((x - a.x) * (c.z - a.z) - (c.x - a.x) * (z - a.z)) / area;
        const double wc = ((b.x - a.x) * (z - a.z) - (x - a.x) * (b.z - a.z)) / area;
        if (wb >= -1e-9 && wc >= -1e-9 && wb + wc <= 1.0 + 1e-9) {
            return a.y + (b.y - a.y) * wb + (c.y - a.y) * wc;
        }
    }
    return -1000.0;
}

}  // namespace

// Catches a gap between the meadow and the walls (the clear colour shows through), meadow under
// the floor (the two fight over the same pixels), and a meadow surface other than the one things
// are stood on (floating trees).
TEST(DemoGenerator, MeadowMeetsTheWallsAndCarriesWhatStandsOnIt) {
    const Terrain terrain = MakeTerrain();
    const Mesh meadow = BuildMeadow(terrain);
    const double edge = kCourtyardOuterHalf;
    for (double along : {-edge, -3.0, 0.0, 7.5, edge}) {
        for (const Vec3& side : {Vec3{along, 0, edge}, Vec3{along, 0, -edge}, Vec3{edge, 0, along},
                                 Vec3{-edge, 0, along}}) {
            const Vec3 out = side * 1.01, in = side * 0.99;
            EXPECT_EQ(MeadowHeightAt(meadow, out.x, out.z), 0.0) << out.x << ", " << out.z;
            EXPECT_EQ(MeadowHeightAt(meadow, in.x, in.z), -1000.0) << in.x << ", " << in.z;
        }
    }
    for (double x : {-90.5, -41.3, 17.0, 55.2, 88.8}) {
        for (double z : {-77.7, -20.0, 33.3, 61.9}) {
            EXPECT_NEAR(TerrainHeight(terrain, x, z), MeadowHeightAt(meadow, x, z), 1e-4);
        }
    }
}
