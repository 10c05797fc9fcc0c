// Guards the viewer against hostile files: every case is loaded by the viewer's LoadScene and
// checked by the scene checker, which must agree on accepting or refusing it, with exactly the
// box the user would see. Run under AddressSanitizer, a leak or an overrun fails the case too.
#include <gtest/gtest.h>
#include <sys/stat.h>  // chmod
#include <unistd.h>    // symlink, geteuid

#include <cctype>  // isalnum, for the cases' names
#include <cmath>
#include <ostream>
#include <functional>
#include <string>

#include "app/scene_check.h"
#include "app/viewer.h"
#include "render/scene_render.h"
#include "render/texture_set.h"
#include "scene/scene.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/message_box_recorder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tga_bytes.h"

namespace {

const char* kSceneBox = "Scene could not be loaded!";
const char* kObjectBox = "Object could not be loaded!";
const char* kCameraBox = "Camera could not be loaded!";
const char* kTextureBox = "Texture load error";
const char* kObjectFile = "3 1 0 0 0 0\n0 0 0 0 0\n1 0 0 1 0\n0 1 0 0 1\n0 1 2 0\n";

std::string Tga(int width, int height, int depth, size_t pixelBytes) {
    return TgaBytes(width, height, depth, std::string(pixelBytes, '\x7f'));
}

// A good scene in a fresh directory: one object, one 2 x 2 texture, one camera. Each case
// replaces one of its files (or the scene file itself) with something hostile.
struct Files {
    TempDir dir;
    std::string object = dir.Write("o.obj", kObjectFile);
    std::string texture = dir.Write("t.tga", Tga(2, 2, 24, 12));
    std::string camera = dir.Write("c.cam", "0 1 5 0 0 0");
    std::string SceneText(const std::string& objectName, const std::string& position = "0 0 0 1") {
        return "1 1\n" + objectName + " " + position + "\n" + texture + "\n" + camera + "\n";
    }
    std::string scene = dir.Write("s.scn", SceneText(object));
};

struct HostileCase {
    const char* what;
    std::function<void(Files&)> make;
    const char* box;  // null: the scene loads without a box
};

std::string Repeat(char c, size_t n) {
    return std::string(n, c);
}

const HostileCase kCases[] = {
    {"the good scene", [](Files&) {}, nullptr},
    {"scene count -1", [](Files& f) { f.dir.Write("s.scn", "-1 0 " + f.camera); }, kSceneBox},
    {"scene count 0x80000000", [](Files& f) { f.dir.Write("s.scn", "0x80000000 0 " + f.camera); },
     kSceneBox},
    {"scene claims more records than it holds",
     [](Files& f) { f.dir.Write("s.scn", "3 1\n" + f.object + " 0 0 0 1\n"); }, kSceneBox},
    {"object count -1", [](Files& f) { f.dir.Write("o.obj", "-1 1 0 0 0 0"); }, kObjectBox},
    {"object count 0x80000000",
     [](Files& f) { f.dir.Write("o.obj", "0x80000000 0 0 0 0 0 1 2 3 4 5"); }, kObjectBox},
    {"object claims more faces than it holds",
     [](Files& f) { f.dir.Write("o.obj", "3 9 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 0 1 2 0"); },
     kObjectBox},
    {"corner index -1",
     [](Files& f) { f.dir.Write("o.obj", "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 0 1 -1 0"); },
     kObjectBox},
    {"corner index == vertexCount",
     [](Files& f) { f.dir.Write("o.obj", "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 0 1 3 0"); },
     kObjectBox},
    {"texture index out of range (kept, never drawn)",
     [](Files& f) { f.dir.Write("o.obj", "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 0 1 2 9"); },
     nullptr},
    {"name of 79 characters",
     [](Files& f) {
         const std::string name = f.dir / Repeat('n', 79 - f.dir.path().size() - 1);
         f.dir.Write(name.substr(f.dir.path().size() + 1), kObjectFile);
         f.dir.Write("s.scn", f.SceneText(name));
     },
     nullptr},
    {"name of 80 characters",
     [](Files& f) {
         const std::string name = f.dir / Repeat('n', 80 - f.dir.path().size() - 1);
         f.dir.Write(name.substr(f.dir.path().size() + 1), kObjectFile);
         f.dir.Write("s.scn", f.SceneText(name));
     },
     kSceneBox},
    {"name of 4000 characters",
     [](Files& f) { f.dir.Write("s.scn", f.SceneText(Repeat('n', 4000))); }, kSceneBox},
    {"texture name of 80 characters",
     [](Files& f) { f.dir.Write("s.scn", "0 1 " + Repeat('t', 80) + " " + f.camera); }, kSceneBox},
    {"camera name of 80 characters",
     [](Files& f) { f.dir.Write("s.scn", "0 0 " + Repeat('c', 80)); }, kSceneBox},
    {"no camera name", [](Files& f) { f.dir.Write("s.scn", "0 0" + Repeat(' ', 8)); }, kSceneBox},
    {"no objects and no textures", [](Files& f) { f.dir.Write("s.scn", "0 0 " + f.camera); },
     nullptr},
    {"NaN as a coordinate", [](Files& f) { f.dir.Write("o.obj", "1 0 0 0 0 0 nan 0 0 0 0"); },
     kObjectBox},
    {"infinity as a scale factor",
     [](Files& f) { f.dir.Write("s.scn", f.SceneText(f.object, "0 0 0 inf")); }, kSceneBox},
    {"coordinates that overflow to infinity when scaled",
     [](Files& f) {
         f.dir.Write("o.obj", "3 1 0 0 0 0 3e38 0 0 0 0 0 3e38 0 0 0 0 0 3e38 0 0 0 1 2 0");
         f.dir.Write("s.scn", f.SceneText(f.object, "0 0 0 1e10"));
     },
     nullptr},
    {"a directory as the scene", [](Files& f) { f.scene = f.dir.path(); }, kSceneBox},
    {"a directory as an object", [](Files& f) { f.dir.Write("s.scn", f.SceneText(f.dir.path())); },
     kObjectBox},
    {"a directory as a texture",
     [](Files& f) { f.dir.Write("s.scn", "0 1\n" + f.dir.path() + "\n" + f.camera); }, kTextureBox},
    {"a directory as the camera", [](Files& f) { f.dir.Write("s.scn", "0 0\n" + f.dir.path()); },
     kCameraBox},
    {"a symbolic link to itself as an object",
     [](Files& f) {
         symlink((f.dir / "loop.obj").c_str(), (f.dir / "loop.obj").c_str());
         f.dir.Write("s.scn", f.SceneText(f.dir / "loop.obj"));
     },
     kObjectBox},
    {"a FIFO as an object (must not hang)",
     [](Files& f) {
         mkfifo((f.dir / "fifo.obj").c_str(), 0644);
         f.dir.Write("s.scn", f.SceneText(f.dir / "fifo.obj"));
     },
     kObjectBox},
    {"an empty scene file", [](Files& f) { f.dir.Write("s.scn", ""); }, kSceneBox},
    {"an empty object file", [](Files& f) { f.dir.Write("o.obj", ""); }, kObjectBox},
    {"an empty camera file (loads with zeros)", [](Files& f) { f.dir.Write("c.cam", ""); },
     nullptr},
    {"an empty texture", [](Files& f) { f.dir.Write("t.tga", ""); }, kTextureBox},
    {"a scene file of NUL bytes", [](Files& f) { f.dir.Write("s.scn", std::string(64, '\0')); },
     kSceneBox},
    {"an object file of NUL bytes", [](Files& f) { f.dir.Write("o.obj", std::string(64, '\0')); },
     kObjectBox},
    {"a TGA one byte short", [](Files& f) { f.dir.Write("t.tga", Tga(2, 2, 24, 11)); },
     kTextureBox},
    {"a TGA with bytes after the pixels", [](Files& f) { f.dir.Write("t.tga", Tga(2, 2, 32, 20)); },
     nullptr},
};

// Each case named by what it is, in the test's name and wherever its parameter is printed.
void PrintTo(const HostileCase& c, std::ostream* out) {
    *out << c.what;
}

class HostileInput : public GLTest, public ::testing::WithParamInterface<HostileCase> {};

}  // namespace

TEST_P(HostileInput, ViewerAndCheckerAgreeWithTheRightBox) {
    const HostileCase& c = GetParam();
    Files files;
    c.make(files);

    const SceneCheck check = CheckScene(files.scene.c_str());
    Scene scene;
    const bool failed = LoadSceneForViewer(scene, files.scene.c_str());
    EXPECT_EQ(failed, c.box != nullptr) << c.what;
    EXPECT_EQ(check.loadable, !failed) << c.what;
    if (c.box == nullptr) {
        EXPECT_TRUE(RecordedBoxes().empty()) << c.what;
        CompileScene(scene);
        for (int32_t i = 0; i < scene.worldFaceCount; ++i) {
            EXPECT_TRUE(std::isfinite(scene.worldFaces[i].nx)) << c.what;
        }
        EXPECT_EQ(check.vertexCount, scene.worldVertexCount) << c.what;
        EXPECT_EQ(check.faceCount, scene.worldFaceCount) << c.what;
    } else {
        ASSERT_EQ(RecordedBoxes().size(), 1u) << c.what;
        const RecordedBox& box = RecordedBoxes()[0];
        EXPECT_EQ(box.text, c.box) << c.what;
        EXPECT_EQ(box.caption, c.box == kTextureBox ? "Error" : "Quorvane OpenGL") << c.what;
        EXPECT_EQ(box.buttons, BoxButtons::Ok) << "a plain box";
        EXPECT_EQ(box.icon, BoxIcon::None) << "a plain box";
        EXPECT_FALSE(check.messages.empty()) << c.what;
    }
    DestroyScene(scene);
}

INSTANTIATE_TEST_SUITE_P(Files, HostileInput, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HostileCase>& info) {
                             std::string name;
                             for (const char* p = info.param.what; *p != '\0'; ++p) {
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                                 if (*p == ' ') name += '_';
                             }
                             return name;
                         });

// Catches a file the user cannot read being loaded anyway (root reads everything: skipped).
TEST_F(GLTest, UnreadableObjectFileIsRefused) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    Files files;
    chmod(files.object.c_str(), 0);
    Scene scene;
    EXPECT_TRUE(LoadSceneForViewer(scene, files.scene.c_str()));
    ASSERT_EQ(RecordedBoxes().size(), 1u);
    EXPECT_EQ(RecordedBoxes()[0].text, kObjectBox);
    EXPECT_FALSE(CheckScene(files.scene.c_str()).loadable);
    DestroyScene(scene);
}
