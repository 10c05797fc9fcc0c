// Guards how an imported model looks in the viewer's first frame and which way it stands: lit
// from one side, in its own vertex colours, upright whatever axis its file calls up.
#include <gtest/gtest.h>

#include <algorithm>  // max, min
#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "scene/scene_file.h"
#include "scene/scene_object.h"
#include "tests/support/golden.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"

namespace {

const std::string kModels = "/usr/share/assimp/models/";

class ImportLook : public ::testing::Test {
  protected:
    // Imports `model` (with `options`) into a new scene folder `name` and draws its first frame
    // at 320 x 240; the picture.
    Image ImportAndShoot(const std::string& model, const std::string& name,
                         const std::string& options = "") {
        EXPECT_EQ(Import(model, name, options), 0) << ReadWholeFile(dir / "log");
        EXPECT_EQ(RunTool(kShotTool, "data/demo.scn '" + Rendered(name) + "' --size 320x240",
                          dir / name, dir / "log"),
                  0)
            << ReadWholeFile(dir / "log");
        return LoadPng(Rendered(name));
    }
    int Import(const std::string& model, const std::string& name, const std::string& options) {
        return RunTool("quorvane-import", "'" + model + "' " + name + " " + options, dir.path(),
                       dir / "log");
    }
    // The size of the written scene's faces along x, y and z, read back with the viewer's readers.
    std::array<double, 3> Extent(const std::string& name) {
        const std::string root = dir / name;
        SceneFileContents scene;
        const std::string text = ReadWholeFile(root + "/data/demo.scn");
        EXPECT_TRUE(ParseSceneText(text.data(), text.size(), scene, nullptr));
        std::array<double, 3> lo, hi;
        lo.fill(std::numeric_limits<double>::max());
        hi.fill(-std::numeric_limits<double>::max());
        for (const SceneFileObject& placed : scene.objects) {
            const std::string objectText = ReadWholeFile(root + "/" + placed.file.fileName);
            SceneObject object;
            EXPECT_TRUE(ParseObjectText(objectText.data(), objectText.size(), object, nullptr));
            for (int32_t f = 0; f < object.faceCount; ++f) {
                for (int32_t corner : {object.faces[f].a, object.faces[f].b, object.faces[f].c}) {
                    const Vertex& v = object.vertices[corner];
                    const double p[3] = {v.x, v.y, v.z};
                    for (int k = 0; k < 3; ++k) {
                        lo[k] = std::min(lo[k], p[k]);
                        hi[k] = std::max(hi[k], p[k]);
                    }
                }
            }
            object.FreeObject();
        }
        return {hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]};
    }
    TempDir dir;
};

struct Region {
    double red = 0, green = 0, blue = 0, brightness = 0;
    long pixels = 0;
};

// The mean colour of the model's pixels (those not the clear colour) whose place in the model's
// own bounding box in the picture lies within the given fractions of its width and height (0 at
// the left and at the top).
Region MeanOver(const Image& picture, double left, double right, double top, double bottom) {
    const uint8_t kClear = 26;
    auto isModel = [&](int x, int y) {
        const uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
        return !(p[0] == kClear && p[1] == kClear && p[2] == kClear);
    };
    int x0 = picture.width, x1 = -1, y0 = picture.height, y1 = -1;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (!isModel(x, y)) continue;
            x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
    }
    Region region;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double fx = (x - x0) / double(x1 - x0 + 1);
            // Row 0 of the picture GL reads back is the bottom of the frame.
            const double fy = (y1 - y) / double(y1 - y0 + 1);
            if (!isModel(x, y) || fx < left || fx > right || fy < top || fy > bottom) continue;
            const uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
            region.red += p[0], region.green += p[1], region.blue += p[2];
            ++region.pixels;
        }
    }
    if (region.pixels > 0) {
        region.red /= region.pixels, region.green /= region.pixels, region.blue /= region.pixels;
    }
    region.brightness = (region.red + region.green + region.blue) / 3;
    return region;
}

// A binary STL of a box `x` by `y` by `z` standing on z = 0: CAD's Z-up.
std::string BoxStl(double x, double y, double z) {
    const double corners[8][3] = {{0, 0, 0}, {x, 0, 0}, {x, y, 0}, {0, y, 0},
                                  {0, 0, z}, {x, 0, z}, {x, y, z}, {0, y, z}};
    const int faces[12][3] = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                              {1, 2, 6}, {1, 6, 5}, {2, 3, 7}, {2, 7, 6}, {3, 0, 4}, {3, 4, 7}};
    std::string out(80, ' ');
    const uint32_t count = 12;
    out.append(reinterpret_cast<const char*>(&count), 4);
    for (const auto& face : faces) {
        const float none[3] = {0, 0, 0};
        out.append(reinterpret_cast<const char*>(none), 12);
        for (int corner : face) {
            const float p[3] = {static_cast<float>(corners[corner][0]),
                                static_cast<float>(corners[corner][1]),
                                static_cast<float>(corners[corner][2])};
            out.append(reinterpret_cast<const char*>(p), 12);
        }
        out.append(2, '\0');
    }
    return out;
}

}  // namespace

// Catches a light that does not show which side it comes from: on a sphere the side towards the
// key light (upper left of the view) must be clearly brighter than the side away from it.
TEST_F(ImportLook, ASphereIsLitFromOneSide) {
    const Image picture = ImportAndShoot(kModels + "STL/sphereWithHole.stl", "sphere");
    const Region lit = MeanOver(picture, 0.0, 0.35, 0.0, 0.35);
    const Region dark = MeanOver(picture, 0.65, 1.0, 0.65, 1.0);
    ASSERT_GT(lit.pixels, 0);
    ASSERT_GT(dark.pixels, 0);
    EXPECT_GT(lit.brightness, 1.6 * dark.brightness);
    EXPECT_GT(dark.brightness, 30.0) << "the dark side should not be black";
}

// Catches vertex colours dropped (a grey model) or bled across faces: a PLY of two boxes, the
// left one red and the right one blue, shows red on the left and blue on the right.
TEST_F(ImportLook, VertexColoursShowWhereTheyArePainted) {
    std::string ply =
        "ply\nformat ascii 1.0\nelement vertex 16\nproperty float x\nproperty float y\n"
        "property float z\nproperty uchar red\nproperty uchar green\nproperty uchar blue\n"
        "element face 24\nproperty list uchar int vertex_indices\nend_header\n";
    for (int box = 0; box < 2; ++box) {
        const double x = box == 0 ? -2.0 : 1.0;
        const char* colour = box == 0 ? " 220 30 30\n" : " 30 30 220\n";
        for (int i = 0; i < 8; ++i) {
            ply += std::to_string(x + (i & 1)) + " " + std::to_string((i >> 1) & 1) + " " +
                   std::to_string((i >> 2) & 1) + colour;  // Z-up, as PLY files are
        }
    }
    const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (int box = 0; box < 2; ++box) {
        for (const auto& q : quads) {
            const int o = box * 8;
            ply += "3 " + std::to_string(o + q[0]) + " " + std::to_string(o + q[1]) + " " +
                   std::to_string(o + q[2]) + "\n3 " + std::to_string(o + q[0]) + " " +
                   std::to_string(o + q[2]) + " " + std::to_string(o + q[3]) + "\n";
        }
    }
    const Image picture = ImportAndShoot(dir.Write("boxes.ply", ply), "boxes");
    const Region left = MeanOver(picture, 0.0, 0.3, 0.0, 1.0);
    const Region right = MeanOver(picture, 0.7, 1.0, 0.0, 1.0);
    EXPECT_GT(left.red, 2 * left.blue);
    EXPECT_GT(left.red, 2 * left.green);
    EXPECT_GT(right.blue, 2 * right.red);
    EXPECT_GT(right.blue, 2 * right.green);
}

// Catches a CAD model lying on its back (STL is Z-up), an FBX file's own up axis ignored, and
// --up not overriding either.
TEST_F(ImportLook, ModelsStandOnTheirOwnUpAxis) {
    dir.Write("tall.stl", BoxStl(1, 1, 3));
    EXPECT_EQ(Import(dir / "tall.stl", "tall", ""), 0);
    const auto tall = Extent("tall");
    EXPECT_GT(tall[1], 2.5 * tall[0]) << "the box's long side should stand up";
    EXPECT_NE(ReadWholeFile(dir / "log").find("up: +Z (STL files are Z-up by convention)"),
              std::string::npos)
        << ReadWholeFile(dir / "log");
    EXPECT_EQ(Import(dir / "tall.stl", "lying", "--up +Y"), 0);
    const auto lying = Extent("lying");
    EXPECT_GT(lying[2], 2.5 * lying[1]) << "--up +Y should keep the file's axes";

    // The same FBX file saying Y is up, and saying Z is up.
    const std::string fbx = ReadWholeFile(kModels + "FBX/cubes_with_mirroring_and_pivot.fbx");
    const std::string yUp = "\"UpAxis\", \"int\", \"Integer\", \"\",1";
    const size_t at = fbx.find(yUp);
    ASSERT_NE(at, std::string::npos);
    std::string zUpFbx = fbx;
    zUpFbx[at + yUp.size() - 1] = '2';
    dir.Write("y.fbx", fbx);
    dir.Write("z.fbx", zUpFbx);
    EXPECT_EQ(Import(dir / "y.fbx", "y", ""), 0);
    EXPECT_EQ(Import(dir / "z.fbx", "z", ""), 0);
    EXPECT_NE(ReadWholeFile(dir / "log").find("up: +Z (declared in the FBX file)"),
              std::string::npos);
    const auto y = Extent("y"), z = Extent("z");
    // Turned a quarter about x: the Y-up file's depth is the Z-up file's height.
    EXPECT_NEAR(z[1] / z[0], y[2] / y[0], 1e-3);
    EXPECT_NEAR(z[2] / z[0], y[1] / y[0], 1e-3);
    EXPECT_EQ(Import(dir / "z.fbx", "z-as-y", "--up +y"), 0);
    const auto overridden = Extent("z-as-y");
    EXPECT_NEAR(overridden[1] / overridden[0], y[1] / y[0], 1e-3);
}
