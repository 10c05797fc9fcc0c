// Guards quorvane-import on real models nobody here wrote, from Debian's assimp-testmodels: each
// one imports, the checker accepts the scene, it stands on the ground within the fog-free range of
// its camera, and the viewer's first frame shows it whole, textured where it has a picture. Three
// of the pictures are golden images (see golden.h).
#include <gtest/gtest.h>

#include <algorithm>  // min, nth_element
#include <cmath>
#include <cstdio>  // printf
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "scene/camera.h"
#include "scene/scene_file.h"
#include "scene/scene_object.h"
#include "tests/support/golden.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"

namespace {

const std::string kModels = "/usr/share/assimp/models/";

struct ModelCase {
    const char* file;          // under kModels
    long faces;                // as the checker counts them: every instance, polygons triangulated
    bool textured;             // a picture, not only colours, should show on the model
    const char* golden;        // compared with tests/golden/NAME.png when not empty
    const char* picture = "";  // a picture file the report should name, when not empty
};

// Twelve formats; pictures beside the model (in other letter case too), in another folder, embedded
// in it and in a data URI; node transforms, instancing, mirroring and pivots; quads and polygons.
const ModelCase kCases[] = {
    {"Collada/duck.dae", 4212, true, "import_duck", "duckCM.tga"},
    // Named "\..\LWO\LWO2\MappingModes\EarthCylindric.jpg": out of the model's folder, Windows
    // separators, and another letter case than the file earthCylindric.jpg.
    {"Collada/earthCylindrical.DAE", 1920, true, "", "earthCylindric.jpg"},
    {"X/test.x", 12, true, "import_cube"},
    {"glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb", 121496, false, "import_engine"},
    {"glTF2/BoxTextured-glTF-Binary/BoxTextured.glb", 12, true, ""},
    {"glTF2/BoxTextured-glTF/BoxTextured.gltf", 12, true, ""},
    {"glTF2/BoxTextured-glTF-Embedded/BoxTextured.gltf", 12, true, ""},
    {"OBJ/spider.obj", 1368, true, ""},
    {"3DS/cube_with_diffuse_texture.3DS", 12, true, ""},
    {"3DS/test1.3ds", 108, true, ""},
    {"MS3D/jeep1.ms3d", 2032, true, ""},
    {"IQM/mrfixit.iqm", 2988, true, ""},
    {"OBJ/WusonOBJ.obj", 3732, false, ""},
    {"PLY/Wuson.ply", 3732, false, ""},
    {"PLY/cube_binary.ply", 12, false, ""},
    {"STL/Spider_binary.stl", 1368, false, ""},
    {"FBX/spider.fbx", 1368, false, ""},
    {"FBX/cubes_with_mirroring_and_pivot.fbx", 420, false, ""},
    {"FBX/huesitos.fbx", 120, false, ""},
    {"Collada/teapot_instancenodes.DAE", 2048, false, ""},
    {"BLEND/Suzanne_248.blend", 3872, false, ""},
    {"AC/Wuson.ac", 3732, false, ""},
    {"MD2/faerie.md2", 654, false, ""},
    {"STL/sphereWithHole.stl", 285, false, "import_sphere"},
    {"3DS/fels.3ds", 768, false, "import_rock"},
    {"OBJ/cube_with_vertexcolors.obj", 12, false, "import_colour_cube"},
};

// The lowest height of any face corner in the scene and the largest distance of one from the
// camera, read back with the viewer's own readers.
std::tuple<double, double> LowestAndFarthest(const std::string& root) {
    SceneFileContents scene;
    const std::string sceneText = ReadWholeFile(root + "/data/demo.scn");
    EXPECT_TRUE(ParseSceneText(sceneText.data(), sceneText.size(), scene, nullptr));
    Camera camera;
    const std::string cameraText = ReadWholeFile(root + "/" + scene.camera.fileName);
    EXPECT_TRUE(ParseCameraText(cameraText.data(), cameraText.size(), camera, nullptr));
    EXPECT_EQ(camera.heading, camera.yaw) << "walking forward should go where the camera looks";
    double lowest = 1e9, farthest = 0.0;
    for (const SceneFileObject& placed : scene.objects) {
        const std::string text = ReadWholeFile(root + "/" + placed.file.fileName);
        SceneObject object;
        EXPECT_TRUE(ParseObjectText(text.data(), text.size(), object, nullptr));
        for (int32_t f = 0; f < object.faceCount; ++f) {
            const Face& face = object.faces[f];
            for (int32_t corner : {face.a, face.b, face.c}) {
                const Vertex& v = object.vertices[corner];
                lowest = std::min(lowest, double{v.y});
                farthest =
                    std::max(farthest, std::hypot(double{v.x} - camera.x, double{v.y} - camera.y,
                                                  double{v.z} - camera.z));
            }
        }
        object.FreeObject();
    }
    return {lowest, farthest};
}

uint8_t kClear = 26;  // the viewer's clear colour 0.1, as the 16-bit window stores it

bool IsClear(const uint8_t* p) {
    return p[0] == kClear && p[1] == kClear && p[2] == kClear;
}

double BrightnessAt(const uint8_t* p) {
    return (p[0] + p[1] + p[2]) / 3.0;
}

// How much form a picture shows: the share of the model's pixels whose brightness differs from
// the model's median brightness by more than a tenth of it. A flat silhouette shows none.
double FormShown(const Image& picture) {
    std::vector<double> brightness;
    for (size_t i = 0; i < picture.rgba.size(); i += 4) {
        if (!IsClear(&picture.rgba[i])) brightness.push_back(BrightnessAt(&picture.rgba[i]));
    }
    if (brightness.empty()) return 0.0;
    std::vector<double> sorted = brightness;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double median = sorted[sorted.size() / 2];
    long differing = 0;
    for (double b : brightness) differing += std::abs(b - median) > 0.1 * median ? 1 : 0;
    return static_cast<double>(differing) / brightness.size();
}

// What the first frame shows: the share of pixels other than the clear colour, whether any of them
// lies on the picture's edge, and how many colours they have.
struct Coverage {
    double share = 0.0;
    bool onEdge = false;
    size_t colours = 0;
};

Coverage Measure(const Image& picture) {
    Coverage coverage;
    std::set<uint32_t> colours;
    long covered = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
            if (IsClear(p)) continue;
            ++covered;
            colours.insert(p[0] << 16 | p[1] << 8 | p[2]);
            coverage.onEdge = coverage.onEdge || x == 0 || y == 0 || x == picture.width - 1 ||
                              y == picture.height - 1;
        }
    }
    coverage.share = static_cast<double>(covered) / (picture.width * picture.height);
    coverage.colours = colours.size();
    return coverage;
}

}  // namespace

// Catches a format or picture source that stops importing, meshes or instances lost or doubled,
// polygons not triangulated, a node transform not applied, a scene the viewer refuses, a model
// floating or sunk, partly fogged, cut off by the frame or too small to see, textures lost,
// misplaced (a flat colour) or upside down (goldens), and a model without a picture drawn as a
// flat silhouette (its form measured lit, and flat with --no-shading as it was before light).
TEST(ImportedModels, ImportCheckAndShowWhole) {
    ASSERT_TRUE(std::filesystem::is_directory(kModels)) << "install assimp-testmodels";
    TempDir dir;
    const std::string log = dir / "log";
    for (const ModelCase& model : kCases) {
        SCOPED_TRACE(model.file);
        const std::string scene = dir / std::to_string(&model - kCases);
        ASSERT_EQ(
            RunTool("quorvane-import", "'" + kModels + model.file + "' " + scene, dir.path(), log),
            0)
            << ReadWholeFile(log);
        EXPECT_NE(ReadWholeFile(log).find(std::string(" from ") + model.picture), std::string::npos)
            << ReadWholeFile(log);
        ASSERT_EQ(RunTool("quorvane-check", "", scene, log), 0) << ReadWholeFile(log);
        EXPECT_NE(ReadWholeFile(log).find("faces: " + std::to_string(model.faces) + "\n"),
                  std::string::npos)
            << ReadWholeFile(log);
        const auto [lowest, farthest] = LowestAndFarthest(scene);
        EXPECT_NEAR(lowest, 0.0, 1e-3) << "should stand on the ground";
        EXPECT_LT(farthest, 15.0) << "the fog starts at 15";

        const std::string name = *model.golden != '\0' ? model.golden : "import";
        ASSERT_EQ(
            RunTool(kShotTool, "data/demo.scn '" + Rendered(name) + "' --size 160x120", scene, log),
            0)
            << ReadWholeFile(log);
        const Coverage coverage = Measure(LoadPng(Rendered(name)));
        EXPECT_GT(coverage.share, 0.04);
        EXPECT_FALSE(coverage.onEdge) << "the frame should hold the whole model";
        if (model.textured) {
            EXPECT_GT(coverage.colours, 16u) << "a texture should show";
        } else {
            const double lit = FormShown(LoadPng(Rendered(name)));
            ASSERT_EQ(RunTool("quorvane-import",
                              "'" + kModels + model.file + "' " + scene + "-flat --no-shading",
                              dir.path(), log),
                      0);
            ASSERT_EQ(RunTool(kShotTool, "data/demo.scn '" + Rendered("flat") + "' --size 160x120",
                              scene + "-flat", log),
                      0);
            const double flat = FormShown(LoadPng(Rendered("flat")));
            std::printf("form shown by %s: %.0f%% flat, %.0f%% lit\n", model.file, 100 * flat,
                        100 * lit);
            EXPECT_GT(lit, 0.25) << "the model's form should show";
        }
        if (*model.golden != '\0') ExpectMatchesGolden(name);
    }
}
