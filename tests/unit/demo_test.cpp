// Guards the shipped demo: data/ is exactly what the generator writes, and the viewer loads it as
// the world it is meant to be.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>  // chdir, getcwd

#include <climits>  // PATH_MAX
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "render/scene_render.h"
#include "render/texture_set.h"
#include "scene/scene.h"
#include "tests/unit/gl_fixture.h"
#include "tests/unit/message_box_recorder.h"
#include "tests/unit/temp_dir.h"

namespace {

const std::string kSourceDir = QUORVANE_SOURCE_DIR;

// Every file under root/data, relative to root, but the viewer's report, which appears there
// whenever the viewer has run.
std::set<std::string> DemoFiles(const std::string& root) {
    std::set<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root + "/data", error)) {
        const std::string name = std::filesystem::relative(entry.path(), root).generic_string();
        if (entry.is_regular_file() && name != "data/report.log") files.insert(name);
    }
    return files;
}

class DemoScene : public GLTest {};

}  // namespace

// Catches a committed demo that is stale or hand-edited, or a generator whose output depends on
// the time, the machine or the order of a hash table.
TEST(DemoData, CommittedDataIsExactlyWhatTheGeneratorWrites) {
    TempDir dir;
    const std::string generator = std::string(QUORVANE_BINARY_DIR) + "/quorvane-make-demo";
    ASSERT_EQ(std::system((generator + " '" + dir.path() + "' >/dev/null").c_str()), 0);
    const std::set<std::string> generated = DemoFiles(dir.path());
    ASSERT_EQ(generated, DemoFiles(kSourceDir));
    for (const std::string& name : generated) {
        // Compared whole but not printed: a texture would flood the log.
        EXPECT_TRUE(ReadWholeFile(dir / name) == ReadWholeFile(kSourceDir + "/" + name)) << name;
    }
}

// Catches a demo the viewer refuses (a box at start-up), a world other than the one intended,
// faces naming a texture the scene does not load (never drawn), textures of a width GL 1.1
// cannot take, and a camera off eye height, outside the courtyard or with a yaw that jumps on the
// first frame (the controls copy heading into yaw).
TEST_F(DemoScene, LoadsWithoutABoxAsTheWorldItIsMeantToBe) {
    char previous[PATH_MAX];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(kSourceDir.c_str()), 0);  // the scene names its files from the source root
    Scene scene;
    const bool failed = scene.LoadScene("data/demo.scn", LoadTexture);
    ASSERT_EQ(chdir(previous), 0);
    ASSERT_FALSE(failed) << RecordedBoxesText();
    CompileScene(scene);
    EXPECT_EQ(scene.objectCount, 105);
    EXPECT_EQ(scene.worldVertexCount, 17819);
    EXPECT_EQ(scene.worldFaceCount, 18330);
    for (int32_t f = 0; f < scene.worldFaceCount; ++f) {
        const int32_t texture = scene.worldFaces[f].texture;
        ASSERT_TRUE(texture >= 0 && texture < scene.textureCount) << "face " << f;
    }
    for (int32_t t = 0; t < scene.textureCount; ++t) {
        GLint width = 0;
        BindTexture(scene.textures, t);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_TRUE(width >= 64 && (width & (width - 1)) == 0) << "texture " << t << ": " << width;
    }
    const Camera& camera = *scene.camera;
    EXPECT_NEAR(camera.y, 1.7f, 0.2f);
    EXPECT_TRUE(std::abs(camera.x) < 14.0f && std::abs(camera.z) < 14.0f);
    EXPECT_EQ(camera.yaw, camera.heading);
    DestroyScene(scene);
}
