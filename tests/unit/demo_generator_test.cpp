// Guards the pieces the demo generator builds from: numbers the viewer reads back, pictures
// that repeat without a seam, TGA byte order, faces wound outwards, and a meadow that meets the
// courtyard walls without a gap.
#include <gtest/gtest.h>

#include <algorithm>  // max
#include <cmath>      // abs
#include <string>

#include "scene/token_reader.h"
#include "tools/demo/image.h"
#include "tools/demo/mesh.h"
#include "tools/demo/terrain.h"
#include "tools/demo/text_output.h"
#include "tools/demo/textures.h"
#include "tools/demo/world.h"

namespace {

Vec3 Corner(const Mesh& mesh, int32_t index) {
    const Vertex& v = mesh.vertices[index];
    return Vec3{v.x, v.y, v.z};
}

Vec3 Cross(Vec3 p, Vec3 q) {
    return Vec3{p.y * q.z - p.z * q.y, p.z * q.x - p.x * q.z, p.x * q.y - p.y * q.x};
}

// (b - a) x (c - a): points towards a viewer who sees a, b, c counter-clockwise.
Vec3 FrontOf(const Mesh& mesh, const Face& f) {
    const Vec3 a = Corner(mesh, f.a);
    return Cross(Corner(mesh, f.b) - a, Corner(mesh, f.c) - a);
}

Vec3 CentreOf(const Mesh& mesh, const Face& f) {
    return (Corner(mesh, f.a) + Corner(mesh, f.b) + Corner(mesh, f.c)) * (1.0 / 3.0);
}

// Mean colour difference between columns x0 and x1 (or rows, when `rows`).
double LineDifference(const Image& image, int i0, int i1, bool rows) {
    const int length = rows ? image.width : image.height;
    double sum = 0.0;
    for (int k = 0; k < length; ++k) {
        const int x0 = rows ? k : i0, y0 = rows ? i0 : k;
        const int x1 = rows ? k : i1, y1 = rows ? i1 : k;
        for (int channel = 0; channel < 3; ++channel) {
            sum += std::abs(image.rgba[(y0 * image.width + x0) * 4 + channel] -
                            image.rgba[(y1 * image.width + x1) * 4 + channel]);
        }
    }
    return sum / length;
}

// The height of the meadow face over (x, z), or -1000 where no face covers it.
double MeadowHeightAt(const Mesh& meadow, double x, double z) {
    for (const Face& f : meadow.faces) {
        const Vec3 a = Corner(meadow, f.a), b = Corner(meadow, f.b), c = Corner(meadow, f.c);
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

// Catches numbers the viewer's reader refuses or misreads: "-0", a bare "1.", a lost sign.
TEST(DemoGenerator, NumbersReadBackThroughTheViewersReader) {
    for (double value : {0.0, -0.0, -0.00001, 1.0, 1.5, -2.25, 14.3, 0.12345, 123456.0, -96.0}) {
        const std::string text = FormatNumber(value);
        float parsed = 0.0f;
        ASSERT_EQ(ParseFloatToken(text.data(), text.data() + text.size(), parsed), TokenError::None)
            << text;
        EXPECT_NEAR(parsed, value, 5e-5) << text;
    }
    EXPECT_EQ(FormatNumber(-0.00001), "0");
    EXPECT_EQ(FormatNumber(-2.5), "-2.5");
    EXPECT_EQ(FormatNumber(40.0), "40");
}

// Catches red and blue swapped, rows written top row first, and alpha lost from 32-bit files.
TEST(DemoGenerator, TgaHoldsBgrBottomRowFirst) {
    Image image = MakeImage(2, 2, false);
    SetPixel(image, 0, 0, Rgb{255, 0, 0});
    SetPixel(image, 0, 1, Rgb{0, 0, 255});
    const std::string tga = EncodeTga(image);
    ASSERT_EQ(tga.size(), 18u + 2 * 2 * 3);
    EXPECT_EQ(tga.substr(0, 12), std::string("\0\0\2\0\0\0\0\0\0\0\0\0", 12));
    EXPECT_EQ(tga[16], 24);
    EXPECT_EQ(tga.substr(18, 3), std::string("\0\0\xff", 3)) << "bottom-left red, as B G R";
    EXPECT_EQ(tga.substr(24, 3), std::string("\xff\0\0", 3)) << "top-left blue, second row";

    Image withAlpha = MakeImage(1, 1, true);
    SetPixel(withAlpha, 0, 0, Rgb{1, 2, 3}, 4);
    EXPECT_EQ(EncodeTga(withAlpha).substr(16), std::string("\x20\x08\3\2\1\4", 6));
}

// Catches a texture with a visible seam where it repeats on a wall or floor: the step from its
// last column to its first (and last row to first) must be no harsher than steps inside it,
// such as the edge of a mortar joint.
TEST(DemoGenerator, TexturesRepeatWithoutASeam) {
    for (int id = 0; id < kTextureCount; ++id) {
        const Image image = PaintTexture(static_cast<TextureId>(id));
        for (bool rows : {false, true}) {
            const int size = rows ? image.height : image.width;
            double harshest = 0.0;
            for (int i = 0; i + 1 < size; ++i) {
                harshest = std::max(harshest, LineDifference(image, i, i + 1, rows));
            }
            EXPECT_LE(LineDifference(image, size - 1, 0, rows), 1.1 * harshest)
                << DescribeTexture(static_cast<TextureId>(id)).file
                << (rows ? " rows" : " columns");
        }
    }
}

// Catches faces wound the wrong way round (seen from outside they must run counter-clockwise)
// and slivers of no area, whose normal is undefined.
TEST(DemoGenerator, ShapesFaceOutwards) {
    Mesh box, round;
    AddBox(box, Vec3{-1, 0, -2}, Vec3{3, 2, 1}, BoxLook{kBrick, kFlagstone, true});
    for (const Face& f : box.faces) {
        EXPECT_GT(Dot(FrontOf(box, f), CentreOf(box, f) - Vec3{1, 1, -0.5}), 0.0);
    }
    RoundLook look;
    AddFrustum(round, Vec3{0, 0, 0}, 1.0, 0.6, 2.0, look);
    AddCone(round, Vec3{0, 2, 0}, 0.6, 1.0, look);
    for (const Face& f : round.faces) {
        const Vec3 centre = CentreOf(round, f);
        EXPECT_GT(Dot(FrontOf(round, f), Vec3{centre.x, 0, centre.z}), 0.0);
    }
    Mesh up, down;
    AddDisc(up, Vec3{0, 1, 0}, 1.0, true, look);
    AddDisc(down, Vec3{0, 1, 0}, 1.0, false, look);
    for (const Face& f : up.faces) EXPECT_GT(FrontOf(up, f).y, 0.0);
    for (const Face& f : down.faces) EXPECT_LT(FrontOf(down, f).y, 0.0);

    for (const DemoObject& object : BuildDemoWorld().objects) {
        for (const Face& f : object.mesh.faces) {
            ASSERT_GT(Length(FrontOf(object.mesh, f)), 1e-6) << object.file << " has a sliver";
        }
    }
}

// Catches a gap between the meadow and the walls (the clear colour shows through), meadow
// under the floor (the two fight over the same pixels), and a meadow surface other than the one
// things are stood on (floating trees).
TEST(DemoGenerator, MeadowMeetsTheWallsAndCarriesWhatStandsOnIt) {
    const Terrain terrain = MakeTerrain();
    const Mesh meadow = BuildMeadow(terrain);
    const double edge = kCourtyardOuterHalf;
    for (double along : {-edge, -3.0, 0.0, 7.5, edge}) {
        for (const Vec3& side : {Vec3{along, 0, edge}, Vec3{along, 0, -edge}, Vec3{edge, 0, along},
                                 Vec3{-edge, 0, along}}) {
            const Vec3 out = side * (1.0 + 0.01), in = side * (1.0 - 0.01);
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
