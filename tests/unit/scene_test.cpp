// Guards scene loading and tear-down: the order objects, textures, camera; exactly one box at the
// first failure and nothing read or loaded after it; and a record that can be destroyed and
// loaded again, with or without a context (under AddressSanitizer: with nothing leaked). Malformed
// and hostile scene files are the hostile-input table's.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>  // the test that counts how often each file is opened
#include <unistd.h>       // read, close

#include <map>
#include <string>
#include <vector>

#include "app/viewer.h"
#include "render/scene_render.h"
#include "render/texture_set.h"
#include "scene/scene.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/message_box_recorder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tga_bytes.h"

namespace {

// Three vertices with distinct coordinates, one face using texture 1.
const char* kObject = "3 1 0 0 0 0\n1 2 3 0 0\n4 5 6 1 0\n7 8 9 0 1\n0 1 2 1\n";

// A 1 x 1 24-bit TGA of the colour given as B G R.
std::string Tga(const std::string& bgr) {
    return TgaBytes(1, 1, 24, bgr);
}

void ExpectOneBox(const char* text, const char* caption) {
    ASSERT_EQ(RecordedBoxes().size(), 1u) << RecordedBoxesText();
    EXPECT_EQ(RecordedBoxes()[0].text, text);
    EXPECT_EQ(RecordedBoxes()[0].caption, caption);
}

class SceneTest : public GLTest {
  protected:
    void TearDown() override {
        DestroyScene(scene);
        GLTest::TearDown();
    }
    bool Load(const std::string& text) {
        return LoadSceneForViewer(scene, dir.Write("s.scn", text).c_str());
    }
    // One object at (10, 0, -5) scaled by 2, textures red and green, the camera.
    std::string Example(const std::string& separator = " ") {
        std::string text;
        for (const std::string& token :
             {std::string("1 2"), object, std::string("10 0 -5 2"), red, green, camera}) {
            text += token + separator;
        }
        return text;
    }
    // Texture `index` (1 x 1) as GL holds it, R G B.
    std::string Texel(int32_t index) {
        std::string texel(3, '\0');
        BindTexture(scene.textures, index);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texel.data());
        return texel;
    }

    TempDir dir;
    Scene scene;
    std::string object = dir.Write("tri.obj", kObject);
    std::string camera = dir.Write("cam.txt", "1 2 3 10 20 30\n");
    std::string red = dir.Write("red.tga", Tga(std::string("\0\0\xff", 3)));
    std::string green = dir.Write("green.tga", Tga(std::string("\0\xff\0", 3)));
};

}  // namespace

// Catches a wrong order of the record's tokens, a scaled position or scaled texture coordinates,
// textures at the wrong index, a camera not read, a reader that depends on line breaks or reads
// past the camera name, and a load over a loaded scene that does not release it first.
TEST_F(SceneTest, LoadsTheExampleOnOneLineOrOneTokenPerLine) {
    for (const char* separator : {" ", "\n", "\t\r\n"}) {
        SCOPED_TRACE(testing::PrintToString(separator));
        ASSERT_FALSE(Load(Example(separator) + "junk 1 2"));
        EXPECT_TRUE(RecordedBoxes().empty());
        EXPECT_TRUE(scene.loaded);
        ASSERT_EQ(scene.objectCount, 1);
        ASSERT_EQ(scene.textureCount, 2);
        const SceneObject& o = scene.objects[0];
        const Vertex* v = o.vertices;
        EXPECT_EQ((std::vector<float>{o.x, o.y, o.z, o.scale}), (std::vector<float>{10, 0, -5, 2}));
        EXPECT_EQ((std::vector<float>{v[0].x, v[1].y, v[2].z, v[1].u}),
                  (std::vector<float>{2, 10, 18, 1}));
        EXPECT_EQ(Texel(0), std::string("\xff\0\0", 3));
        EXPECT_EQ(Texel(1), std::string("\0\xff\0", 3));
        EXPECT_TRUE(scene.camera->loaded);
        EXPECT_EQ(scene.camera->x, 1.0f);
        EXPECT_EQ(scene.camera->heading, 30.0f);
    }
}

// Catches a second box from the scene loader, an object not placed and scaled before the next is
// read, and textures or the camera read after a failure.
TEST_F(SceneTest, MissingSecondObjectStopsTheLoad) {
    EXPECT_TRUE(
        Load("2 1 " + object + " 1 2 3 2 " + dir / "none.obj" + " 0 0 0 1 " + red + " " + camera));
    ExpectOneBox("Object could not be loaded!", "Quorvane OpenGL");
    ASSERT_EQ(scene.objectCount, 2);
    const SceneObject& first = scene.objects[0];
    EXPECT_TRUE(first.loaded);
    EXPECT_EQ((std::vector<float>{first.x, first.z, first.vertices[2].x}),
              (std::vector<float>{1, 3, 14}));
    EXPECT_FALSE(scene.objects[1].loaded);
    EXPECT_EQ(scene.textures.names[0], 0u) << "no texture loaded";
    EXPECT_FALSE(scene.camera->loaded) << "the camera file is not read";
    EXPECT_FALSE(scene.loaded);
}

// Catches the wrong box for a texture, earlier textures dropped, and later ones or the camera
// read after the failure.
TEST_F(SceneTest, FailingTextureShowsTheErrorBox) {
    const std::string bad = dir.Write("bad.tga", std::string(30, '\x01'));
    EXPECT_TRUE(Load("1 3 " + object + " 0 0 0 1 " + red + " " + bad + " " + green + " " + camera));
    ExpectOneBox("Texture load error", "Error");
    EXPECT_TRUE(glIsTexture(scene.textures.names[0]));
    EXPECT_EQ(scene.textures.names[1], 0u);
    EXPECT_EQ(scene.textures.names[2], 0u) << "nothing after the failing texture";
    EXPECT_FALSE(scene.camera->loaded) << "no camera read";
    EXPECT_FALSE(scene.loaded);
}

// Catches a refusal explained by reading the scene again (the viewer once parsed the whole scene a
// second time to say what was wrong) and a file opened more often than it is named: the box and
// the explanation come from one reading, each file opened once.
TEST_F(SceneTest, ARefusedSceneIsReadOnce) {
    const std::string bad = dir.Write("bad.obj", "3 1 0 0 0 0\n1 2 3 0 0\n");  // no faces
    const std::string scene =
        dir.Write("s.scn", "2 1 " + object + " 0 0 0 1 " + bad + " 0 0 0 1 " + red + " " + camera);
    const int watch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, dir.path().c_str(), IN_OPEN), 0);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(LoadSceneForViewer(this->scene, scene.c_str()));
    const std::string explained = testing::internal::GetCapturedStderr();
    std::map<std::string, int> opened;
    alignas(inotify_event) char events[64 * 1024];
    for (ssize_t got; (got = read(watch, events, sizeof events)) > 0;) {
        for (char* at = events; at < events + got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            if (event->len > 0) ++opened[event->name];
            at += sizeof(inotify_event) + event->len;
        }
    }
    close(watch);
    EXPECT_EQ(opened["s.scn"], 1);
    EXPECT_EQ(opened["tri.obj"], 1);
    EXPECT_EQ(opened["bad.obj"], 1);
    EXPECT_EQ(opened.count("red.tga"), 0u) << "nothing after the refused object";
    EXPECT_EQ(opened.count("cam.txt"), 0u);
    ExpectOneBox("Object could not be loaded!", "Quorvane OpenGL");
    EXPECT_EQ(explained.rfind(bad + ":1:3: error: the file is too short to hold 3 vertices", 0), 0u)
        << explained;
}

// Catches a DestroyScene that leaks (AddressSanitizer), frees twice or keeps the display list or
// the textures; leftovers of a failed load that the next load trips over; and a scene file that
// cannot be opened destroying the scene it was to replace. The full-screen switch reloads often.
TEST_F(SceneTest, LoadDestroyLoadAgain) {
    for (int round = 0; round < 10; ++round) {
        ASSERT_FALSE(Load(Example()));
        CompileScene(scene);
        ASSERT_TRUE(scene.compiled);
        const GLuint list = scene.displayList;
        const GLuint names[2] = {scene.textures.names[0], scene.textures.names[1]};
        EXPECT_TRUE(scene.LoadScene((dir / "missing.scn").c_str(), LoadTexture));
        EXPECT_TRUE(scene.loaded) << "a scene that cannot be opened leaves the old one";
        EXPECT_TRUE(scene.compiled);
        EXPECT_TRUE(glIsList(list));
        DestroyScene(scene);
        DestroyScene(scene);
        EXPECT_FALSE(glIsList(list));
        EXPECT_FALSE(glIsTexture(names[0]));
        EXPECT_FALSE(glIsTexture(names[1]));
        EXPECT_TRUE(Load("2 1 " + object + " 0 0 0 1 " + dir / "none.obj" + " 0 0 0 1 " + red +
                         " " + camera));
    }
}

// Catches GL called without a context, and anything kept when the driver destroys the scene
// after its context has gone; also one file named twice sharing its copy (scaled twice).
TEST_F(SceneTest, DestroyWithoutContext) {
    ASSERT_FALSE(Load("2 2 " + object + " 0 0 0 1 " + object + " 5 0 0 3 " + red + " " + red + " " +
                      camera));
    EXPECT_EQ(scene.objects[0].vertices[0].x, 1.0f);
    EXPECT_EQ(scene.objects[1].vertices[0].x, 3.0f);
    EXPECT_NE(scene.textures.names[0], scene.textures.names[1]);
    CompileScene(scene);
    ReleaseContext();
    DestroyScene(scene);
    EXPECT_FALSE(scene.compiled);
    EXPECT_EQ(scene.worldVertices, nullptr);
    EXPECT_EQ(scene.textures.names, nullptr);
}
