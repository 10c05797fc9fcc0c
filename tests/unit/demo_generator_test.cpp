// Guards what the demo generator writes and builds where a fault would show on screen though the
// demo still loads: colours swapped in the TGA, and a meadow that leaves a gap at the courtyard
// walls, fights with the floor or lets things float.
#include <gtest/gtest.h>

#include <string>

#include "tools/demo/courtyard.h"
#include "tools/demo/mesh.h"
#include "tools/demo/terrain.h"
#include "tools/image/image.h"

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

// Catches red and blue swapped, rows written top row first, and alpha lost from 32-bit files.
TEST(DemoGenerator, TgaHoldsBgrBottomRowFirst) {
    Image image = MakeImage(2, 2, false);
    SetPixel(image, 0, 0, Rgb{255, 0, 0});
    SetPixel(image, 0, 1, Rgb{0, 0, 255});
    const std::string tga = EncodeTga(image);
    EXPECT_EQ(tga.substr(18, 3), std::string("\0\0\xff", 3)) << "bottom-left red, as B G R";
    EXPECT_EQ(tga.substr(24, 3), std::string("\xff\0\0", 3)) << "top-left blue, second row";
    Image withAlpha = MakeImage(1, 1, true);
    SetPixel(withAlpha, 0, 0, Rgb{1, 2, 3}, 4);
    EXPECT_EQ(EncodeTga(withAlpha).substr(16), std::string("\x20\x08\3\2\1\4", 6));
}

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
