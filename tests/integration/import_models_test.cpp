// Guards quorvane-import on real models nobody here wrote, from Debian's assimp-testmodels: each
// one imports, the checker accepts the scene, it stands on the ground within the fog-free range of
// its camera, and the viewer's first frame shows it whole, textured where it has a picture. Three
// of the pictures are golden images (see golden.h).
#include <gtest/gtest.h>

#include <algorithm>  // min
#include <cmath>
#include <cstdio>  // printf
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "scene/camera.h"
#include "scene/scene_file.h"
#include "scene/scene_object.h"
#include "tests/support/golden.h"
#include "tests/support/model_table.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"

namespace {

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
    for (const ModelCase& model : ModelTable()) {
        SCOPED_TRACE(model.file);
        const std::string scene = dir / std::to_string(&model - ModelTable().data());
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
        const Coverage coverage = Measure(LoadPng(Rendered(name)), Background::ClearColour);
        EXPECT_GT(coverage.share, 0.04);
        EXPECT_FALSE(coverage.onEdge) << "the frame should hold the whole model";
        if (model.textured) {
            EXPECT_GT(coverage.colours, 16u) << "a texture should show";
        } else {
            const double lit = FormShown(LoadPng(Rendered(name)), Background::ClearColour);
            ASSERT_EQ(RunTool("quorvane-import",
                              "'" + kModels + model.file + "' " + scene + "-flat --no-shading",
                              dir.path(), log),
                      0);
            ASSERT_EQ(RunTool(kShotTool, "data/demo.scn '" + Rendered("flat") + "' --size 160x120",
                              scene + "-flat", log),
                      0);
            const double flat = FormShown(LoadPng(Rendered("flat")), Background::ClearColour);
            std::printf("form shown by %s: %.0f%% flat, %.0f%% lit\n", model.file, 100 * flat,
                        100 * lit);
            EXPECT_GT(lit, 0.25) << "the model's form should show";
        }
        if (*model.golden != '\0') ExpectMatchesGolden(name);
    }
}
