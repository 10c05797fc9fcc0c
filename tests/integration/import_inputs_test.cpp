// Guards quorvane-import against broken and hostile inputs and the ways a run can end: a refusal
// names the model and the reason, exits with 1 and leaves nothing behind; a missing picture is a
// warning and a colour instead; a large mesh is split across object files.
#include <gtest/gtest.h>
#include <sys/stat.h>  // mkfifo

#include <filesystem>
#include <sstream>
#include <string>
#include <utility>  // pair
#include <vector>

#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"
#include "model/confine/memory_limit.h"
#include "model/shape/split_mesh.h"

namespace {

namespace fs = std::filesystem;

const std::string kModels = "/usr/share/assimp/models/";

class ImportInputs : public ::testing::Test {
  protected:
    // Imports `model` into `out` (nothing after the model when empty); the exit status.
    int Import(const std::string& model, const std::string& out = "out") {
        return RunTool("quorvane-import", model.empty() ? "" : "'" + model + "' " + out, dir.path(),
                       dir / "log");
    }
    bool Said(const std::string& text) const {
        return ReadWholeFile(dir / "log").find(text) != std::string::npos;
    }
    int Check(const std::string& scene) {
        return RunTool("quorvane-check", "", scene, dir / "checked");
    }
    // Everything in the directory but the two tools' logs and what `keep` names.
    std::vector<std::string> Written(const std::vector<std::string>& keep) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            bool kept = name == "log" || name == "checked";
            for (const std::string& k : keep) kept = kept || name == k;
            if (!kept) names.push_back(name);
        }
        return names;
    }
    TempDir dir;
};

}  // namespace

// Catches a crash, a hang or an endless allocation on a broken file, a refusal without the reason
// or with success status, and a half-written scene (or its temporary directory) left behind.
TEST_F(ImportInputs, BrokenModelsAreRefusedWithTheirReason) {
    const std::string glb =
        ReadWholeFile(kModels + "glTF2/BoxTextured-glTF-Binary/BoxTextured.glb");
    ASSERT_FALSE(glb.empty()) << "install assimp-testmodels";
    const std::vector<std::string> inputs = {"empty.obj", "truncated.glb", "pipe.obj", "dir.obj"};
    dir.Write(inputs[0], "");
    dir.Write(inputs[1], glb.substr(0, glb.size() / 2));
    ASSERT_EQ(mkfifo((dir / inputs[2]).c_str(), 0600), 0);
    dir.Write(inputs[3] + "/inside", "");
    std::vector<std::pair<std::string, std::string>> cases = {
        {dir / "empty.obj", "too small"},
        {dir / "truncated.glb", "exceeds size of actual data"},
        {dir / "pipe.obj", "not a regular file"},
        {dir / "dir.obj", "not a regular file"},
        {dir / "none.obj", "Unable to open file"},
        {kModels + "glTF2/TestNoRootNode/SceneWithoutNodes.gltf", "the file holds no meshes"},
        {kModels + "OBJ/testpoints.obj", "no triangle is left to show"},
        {kModels + "glTF2/BoxWithInfinites-glTF-Binary/BoxWithInfinites.glb",
         "faces left out: a corner lies at infinity"},
    };
    if (kMemoryCapped) cases.emplace_back(kModels + "invalid/OutOfMemory.off", kOutOfMemory);
    for (const auto& [model, says] : cases) {
        EXPECT_EQ(Import(model), 1) << model;
        EXPECT_TRUE(Said("quorvane-import: " + model + ": ")) << ReadWholeFile(dir / "log");
        EXPECT_TRUE(Said(says)) << ReadWholeFile(dir / "log");
        EXPECT_EQ(Written(inputs), std::vector<std::string>()) << model;
    }
}

// Catches a missing picture that refuses the model or leaves a face without a texture, a scene
// written over an existing directory, a default directory other than the model's name, and
// arguments that import anyway.
TEST_F(ImportInputs, MissingPicturesExistingDirectoriesAndArguments) {
    for (const char* file : {"spider.obj", "spider.mtl"}) {  // without the pictures it names
        fs::copy_file(kModels + "OBJ/" + file, dir / file);
    }
    ASSERT_EQ(Import(dir / "spider.obj", ""), 0) << ReadWholeFile(dir / "log");
    EXPECT_TRUE(
        Said("warning: texture '.\\SpiderTex.jpg' of material 'HLeibTex': not found beside "
             "the model; its diffuse colour is used instead"))
        << ReadWholeFile(dir / "log");
    EXPECT_EQ(Check(dir / "spider"), 0) << ReadWholeFile(dir / "checked");

    const std::string before = ReadWholeFile(dir / "spider/data/demo.scn");
    EXPECT_EQ(Import(kModels + "PLY/cube_binary.ply", "spider/"), 1);
    EXPECT_TRUE(Said("spider/ already exists")) << ReadWholeFile(dir / "log");
    EXPECT_EQ(ReadWholeFile(dir / "spider/data/demo.scn"), before);

    EXPECT_EQ(Import(kModels + "PLY/cube_binary.ply", "new/deeper"), 0);
    EXPECT_EQ(Check(dir / "new/deeper"), 0);
    EXPECT_EQ(Import(""), 2);
    EXPECT_TRUE(Said("usage: quorvane-import"));
    EXPECT_EQ(Import("-x", ""), 2);
    EXPECT_EQ(Import(kModels + "PLY/cube_binary.ply", "a b"), 2);
    EXPECT_EQ(RunTool("quorvane-import", "--help", dir.path(), dir / "log"), 0);
    EXPECT_EQ(Written({"spider.obj", "spider.mtl", "spider", "new"}), std::vector<std::string>());
}

// Catches a mesh too large for one sensible object file written whole, and faces lost or doubled
// where it is cut.
TEST_F(ImportInputs, LargeMeshesAreSplitAcrossObjectFiles) {
    const int n = 190;  // a grid of n x n quads: more triangles than one object file takes
    std::string obj;
    for (int j = 0; j <= n; ++j) {
        for (int i = 0; i <= n; ++i)
            obj += "v " + std::to_string(i) + " 0 " + std::to_string(j) + "\n";
    }
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const int a = j * (n + 1) + i + 1;  // OBJ counts from 1
            obj += "f " + std::to_string(a) + " " + std::to_string(a + 1) + " " +
                   std::to_string(a + n + 2) + " " + std::to_string(a + n + 1) + "\n";
        }
    }
    ASSERT_EQ(Import(dir.Write("grid.obj", obj)), 0) << ReadWholeFile(dir / "log");
    ASSERT_EQ(Check(dir / "out"), 0);
    EXPECT_NE(ReadWholeFile(dir / "checked").find("faces: " + std::to_string(2 * n * n) + "\n"),
              std::string::npos);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir / "out/data/objects")) {
        ++files;
        long vertices = 0, faces = 0;
        std::istringstream(ReadWholeFile(entry.path())) >> vertices >> faces;
        EXPECT_LE(vertices, static_cast<long>(kMaxMeshVertices));
        EXPECT_LE(faces, static_cast<long>(kMaxMeshFaces));
    }
    EXPECT_GE(files, 2);
}
