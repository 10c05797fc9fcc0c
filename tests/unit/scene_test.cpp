// Guards scene loading and tear-down: the order objects, textures, camera; exactly one box at the
// first failure and nothing read or loaded after it; malformed scene files refused; and a record
// that can be destroyed and loaded again (under AddressSanitizer: with nothing leaked).
#include <SDL_opengl.h>
#include <gtest/gtest.h>
#include <unistd.h>  // chdir, getcwd

#include <climits>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "scene/large_array.h"
#include "scene/scene.h"
#include "scene/scene_file.h"
#include "tests/unit/gl_fixture.h"
#include "tests/unit/message_box_recorder.h"
#include "tests/unit/temp_dir.h"

namespace {

// Three vertices with distinct coordinates, one face using texture 1.
const char* kObject = "3 1 0 0 0 0\n1 2 3 0 0\n4 5 6 1 0\n7 8 9 0 1\n0 1 2 1\n";
const char* kCamera = "1 2 3 10 20 30\n";

std::string Tga24(uint8_t blue, uint8_t green, uint8_t red) {
    std::string file(18, '\0');
    file[2] = 2;
    file[12] = 1;  // 1 x 1
    file[14] = 1;
    file[16] = 24;
    return file +
           std::string{static_cast<char>(blue), static_cast<char>(green), static_cast<char>(red)};
}

void ExpectOneBox(const char* text, const char* caption) {
    ASSERT_EQ(RecordedBoxes().size(), 1u);
    EXPECT_EQ(RecordedBoxes()[0].text, text);
    EXPECT_EQ(RecordedBoxes()[0].caption, caption);
    EXPECT_EQ(RecordedBoxes()[0].style, static_cast<uint32_t>(MB_OK));
}

void ExpectSceneBox() {
    ExpectOneBox("Scene could not be loaded!", "Quorvane OpenGL");
}

// The name glGenTextures hands out next: 1 in a fresh context where no name was generated yet.
GLuint NextTextureName() {
    GLuint name = 0;
    glGenTextures(1, &name);
    glDeleteTextures(1, &name);
    return name;
}

class SceneTest : public GLTest {
  protected:
    void SetUp() override {
        GLTest::SetUp();
        object = dir.Write("tri.obj", kObject);
        camera = dir.Write("cam.txt", kCamera);
        red = dir.Write("red.tga", Tga24(0, 0, 255));
        green = dir.Write("green.tga", Tga24(0, 255, 0));
    }
    void TearDown() override {
        scene.DestroyScene();
        GLTest::TearDown();
    }
    // Writes a scene file from its tokens, one line.
    std::string SceneFile(const std::string& tokens, const std::string& name = "demo.scn") {
        return dir.Write(name, tokens);
    }
    bool Load(const std::string& tokens) { return scene.LoadScene(SceneFile(tokens).c_str()); }
    // The example of the Part: one object at (10, 0, -5) scaled by 2, two textures, the camera.
    std::string Example(const std::string& separator = " ") {
        const std::vector<std::string> tokens = {"1",  "2", object, "10",  "0",
                                                 "-5", "2", red,    green, camera};
        std::string text;
        for (const std::string& token : tokens) text += token + separator;
        return text;
    }

    TempDir dir;
    Scene scene;
    std::string object, camera, red, green;
};

}  // namespace

// Catches a wrong order of the record's tokens, a doubled position, missing textures or camera.
TEST_F(SceneTest, LoadsTheExampleScene) {
    ASSERT_FALSE(Load(Example()));
    EXPECT_TRUE(RecordedBoxes().empty());
    EXPECT_TRUE(scene.loaded);
    EXPECT_FALSE(scene.compiled);
    ASSERT_EQ(scene.objectCount, 1);
    ASSERT_EQ(scene.textureCount, 2);
    const SceneObject& o = scene.objects[0];
    EXPECT_TRUE(o.loaded);
    EXPECT_EQ(o.x, 10.0f);
    EXPECT_EQ(o.y, 0.0f);
    EXPECT_EQ(o.z, -5.0f) << "the position is not scaled";
    EXPECT_EQ(o.scale, 2.0f);
    ASSERT_EQ(o.vertexCount, 3);
    EXPECT_EQ(o.vertices[0].x, 2.0f);
    EXPECT_EQ(o.vertices[1].y, 10.0f);
    EXPECT_EQ(o.vertices[2].z, 18.0f);
    EXPECT_EQ(o.vertices[1].u, 1.0f) << "texture coordinates are not scaled";
    ASSERT_EQ(scene.textures.nameCount, 2);
    EXPECT_TRUE(glIsTexture(scene.textures.names[0]));
    EXPECT_TRUE(glIsTexture(scene.textures.names[1]));
    EXPECT_NE(scene.textures.names[0], scene.textures.names[1]);
    // Texture 0 is the first name of the file (red), texture 1 the second (green).
    GLubyte texel[3] = {};
    scene.textures.BindTexture(0);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    EXPECT_EQ(texel[0], 255);
    scene.textures.BindTexture(1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    EXPECT_EQ(texel[1], 255);
    ASSERT_NE(scene.camera, nullptr);
    EXPECT_TRUE(scene.camera->loaded);
    EXPECT_EQ(scene.camera->x, 1.0f);
    EXPECT_EQ(scene.camera->heading, 30.0f);

    const GLuint names[2] = {scene.textures.names[0], scene.textures.names[1]};
    scene.DestroyScene();
    EXPECT_FALSE(glIsTexture(names[0])) << "deleted while the context is current";
    EXPECT_FALSE(glIsTexture(names[1]));
    EXPECT_EQ(scene.objectCount, 0);
    EXPECT_EQ(scene.objects, nullptr);
    EXPECT_EQ(scene.camera, nullptr);
    EXPECT_EQ(scene.textures.names, nullptr);
    EXPECT_FALSE(scene.loaded);
}

TEST_F(SceneTest, ZeroObjectsAndZeroTextures) {
    ASSERT_FALSE(Load("0 0 " + camera));
    EXPECT_TRUE(RecordedBoxes().empty());
    EXPECT_EQ(scene.objectCount, 0);
    EXPECT_EQ(scene.textureCount, 0);
    EXPECT_TRUE(scene.camera->loaded);
    EXPECT_TRUE(scene.loaded);
}

// Catches a reader that depends on line breaks; and anything after the camera name being read.
TEST_F(SceneTest, OneLineOrOneTokenPerLineLoadAlike) {
    Scene perLine;
    ASSERT_FALSE(Load(Example(" ") + "\n"));
    ASSERT_FALSE(perLine.LoadScene(SceneFile(Example("\n") + "\r\n\t", "lines.scn").c_str()));
    ASSERT_FALSE(perLine.LoadScene(SceneFile(Example("\t\r\n") + "junk 1 2", "t.scn").c_str()));
    EXPECT_TRUE(RecordedBoxes().empty());
    EXPECT_EQ(perLine.objectCount, scene.objectCount);
    EXPECT_EQ(perLine.textureCount, scene.textureCount);
    const SceneObject &a = scene.objects[0], &b = perLine.objects[0];
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.z, b.z);
    for (int i = 0; i < a.vertexCount; ++i) EXPECT_EQ(a.vertices[i].y, b.vertices[i].y);
    EXPECT_EQ(perLine.camera->yaw, scene.camera->yaw);
    EXPECT_TRUE(glIsTexture(perLine.textures.names[1]));
    perLine.DestroyScene();
}

TEST_F(SceneTest, MissingSceneFileChangesNothing) {
    ASSERT_FALSE(Load(Example()));
    SceneObject* objects = scene.objects;
    EXPECT_TRUE(scene.LoadScene((dir / "missing.scn").c_str()));
    ExpectSceneBox();
    EXPECT_EQ(scene.objectCount, 1);
    EXPECT_EQ(scene.textureCount, 2);
    EXPECT_EQ(scene.objects, objects);
    EXPECT_TRUE(scene.loaded);
    RecordedBoxes().clear();
    EXPECT_TRUE(scene.LoadScene(dir.path().c_str())) << "a directory is no scene file";
    ExpectSceneBox();
}

// Catches a second box from the scene loader, and textures or the camera read after a failure.
TEST_F(SceneTest, MissingSecondObjectStopsTheLoad) {
    EXPECT_TRUE(Load("2 1 " + object + " 1 2 3 2 " + (dir / "none.obj") + " 0 0 0 1 " + red + " " +
                     camera));
    ExpectOneBox("Object could not be loaded!", "Quorvane OpenGL");
    ASSERT_EQ(scene.objectCount, 2);
    const SceneObject& first = scene.objects[0];
    EXPECT_TRUE(first.loaded);
    EXPECT_EQ(first.x, 1.0f);
    EXPECT_EQ(first.z, 3.0f);
    EXPECT_EQ(first.vertices[2].x, 14.0f) << "placed and scaled before the failure";
    EXPECT_FALSE(scene.objects[1].loaded);
    EXPECT_EQ(scene.textures.names[0], 0u) << "no texture loaded";
    EXPECT_EQ(NextTextureName(), 1u);
    ASSERT_NE(scene.camera, nullptr);
    EXPECT_FALSE(scene.camera->loaded) << "the camera file is not read";
    EXPECT_FALSE(scene.loaded);
}

TEST_F(SceneTest, FailingTextureShowsTheErrorBox) {
    const std::string bad = dir.Write("bad.tga", std::string(30, '\x01'));
    EXPECT_TRUE(Load("1 3 " + object + " 0 0 0 1 " + red + " " + bad + " " + green + " " + camera));
    ExpectOneBox("Texture load error", "Error");
    EXPECT_TRUE(scene.objects[0].loaded);
    EXPECT_TRUE(glIsTexture(scene.textures.names[0])) << "earlier textures stay loaded";
    EXPECT_EQ(scene.textures.names[1], 0u);
    EXPECT_EQ(scene.textures.names[2], 0u) << "nothing after the failing texture";
    EXPECT_FALSE(scene.camera->loaded) << "no camera read";
    EXPECT_FALSE(scene.loaded);
}

TEST_F(SceneTest, MissingCameraShowsItsBox) {
    EXPECT_TRUE(Load("1 1 " + object + " 0 0 0 1 " + red + " " + (dir / "none.cam")));
    ExpectOneBox("Camera could not be loaded!", "Quorvane OpenGL");
    EXPECT_TRUE(glIsTexture(scene.textures.names[0]));
    EXPECT_FALSE(scene.loaded);
}

// Nothing is shared or cached between two mentions of one file.
TEST_F(SceneTest, SameFileTwiceGivesIndependentCopies) {
    ASSERT_FALSE(Load("2 2 " + object + " 0 0 0 1 " + object + " 5 0 0 3 " + red + " " + red + " " +
                      camera));
    ASSERT_EQ(scene.objectCount, 2);
    EXPECT_NE(scene.objects[0].vertices, scene.objects[1].vertices);
    EXPECT_EQ(scene.objects[0].vertices[0].x, 1.0f);
    EXPECT_EQ(scene.objects[1].vertices[0].x, 3.0f);
    EXPECT_EQ(scene.objects[1].x, 5.0f);
    EXPECT_NE(scene.textures.names[0], scene.textures.names[1]);
    EXPECT_TRUE(glIsTexture(scene.textures.names[0]));
    EXPECT_TRUE(glIsTexture(scene.textures.names[1]));
}

// Catches a malformed file that is loaded in part past its fault, shows a second box, or
// overflows a name buffer.
TEST_F(SceneTest, MalformedSceneFilesAreRefused) {
    const std::string longName(80, 'n');
    const std::string record = object + " 0 0 0 1 ";
    const std::string tail = red + " " + camera;
    struct Case {
        const char* what;
        std::string tokens;
        int objectsLoaded;  // objects loaded before the fault (-1: nothing allocated)
        int texturesLoaded;
    };
    const std::vector<Case> cases = {
        {"empty file", "", -1, 0},
        {"only white space", " \n\t ", -1, 0},
        {"negative object count", "-1 0 " + camera, -1, 0},
        {"negative texture count", "0 -1 " + camera, -1, 0},
        {"count not a number", "one 0 " + camera, -1, 0},
        {"count not an integer", "1.0 1 " + record + tail, -1, 0},
        {"count out of range", "4294967296 0 " + camera, -1, 0},
        {"counts beyond the file", "1000000 0 " + record + camera, -1, 0},
        {"missing camera name", "0 0", -1, 0},
        {"missing token in a record", "1 0 " + object + " 1 2 3", 0, 0},
        {"float not a number", "2 1 " + record + object + " 1 x 2 3 " + tail, 1, 0},
        {"hexadecimal float", "1 1 " + object + " 0x10 0 0 1 " + tail, 0, 0},
        {"long object name", "2 1 " + record + longName + " 1 2 3 4 " + tail, 1, 0},
        {"long texture name", "1 2 " + record + red + " " + longName + " " + camera, 1, 1},
        {"long camera name", "1 1 " + record + red + " " + longName, 1, 1},
        {"missing camera after textures", "1 1 " + record + red + "       ", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetMessageBoxRecorder();
        EXPECT_TRUE(Load(c.tokens));
        ExpectSceneBox();
        EXPECT_FALSE(scene.loaded);
        if (c.objectsLoaded < 0) {
            EXPECT_EQ(scene.objects, nullptr);
            EXPECT_EQ(scene.camera, nullptr);
            EXPECT_EQ(scene.textures.names, nullptr);
            continue;
        }
        for (int i = 0; i < scene.objectCount; ++i) {
            EXPECT_EQ(scene.objects[i].loaded, i < c.objectsLoaded) << i;
        }
        for (int i = 0; i < scene.textureCount; ++i) {
            EXPECT_EQ(scene.textures.names[i] != 0, i < c.texturesLoaded) << i;
        }
        EXPECT_FALSE(scene.camera->loaded);
    }
}

// Names are relative to the working directory and may have 79 characters.
TEST_F(SceneTest, RelativeNamesOfSeventyNineCharacters) {
    char previous[PATH_MAX];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    const std::string longObject = std::string(75, 'o') + ".obj";  // 79 characters
    dir.Write(longObject, kObject);
    const bool failed = scene.LoadScene(
        SceneFile("1 1 " + longObject + " 0 0 0 1 red.tga cam.txt", "rel.scn").c_str());
    const bool relativeScene = scene.LoadScene("rel.scn");
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_FALSE(failed);
    EXPECT_FALSE(relativeScene);
    EXPECT_TRUE(RecordedBoxes().empty());
    EXPECT_TRUE(scene.objects[0].loaded);
}

// Catches a DestroyScene that leaks (ASan), frees twice, or leaves state that the next load
// trips over; the full-screen switch runs it again and again.
TEST_F(SceneTest, LoadDestroyLoadAgain) {
    for (int round = 0; round < 20; ++round) {
        ASSERT_FALSE(Load(Example()));
        EXPECT_EQ(scene.objects[0].vertices[2].z, 18.0f) << "loaded from the beginning";
        const GLuint names[2] = {scene.textures.names[0], scene.textures.names[1]};
        EXPECT_TRUE(glIsTexture(names[0]));
        EXPECT_TRUE(glIsTexture(names[1]));
        scene.DestroyScene();
        scene.DestroyScene();  // a second one finds nothing to release
        EXPECT_FALSE(glIsTexture(names[0])) << "every texture deleted";
        EXPECT_FALSE(glIsTexture(names[1]));
    }
    // A failed load followed by another load on the same record: the leftovers are released.
    EXPECT_TRUE(Load("2 1 " + object + " 0 0 0 1 " + (dir / "none.obj") + " 0 0 0 1 " + red + " " +
                     camera));
    ASSERT_FALSE(Load(Example()));
    ASSERT_FALSE(Load(Example())) << "a load over a loaded scene releases it first";
    EXPECT_EQ(scene.objectCount, 1);
}

// The driver destroys the scene after its context has gone.
TEST_F(SceneTest, DestroyWithoutContext) {
    ASSERT_FALSE(Load(Example()));
    scene.worldVertexCount = 4;
    scene.worldVertices = AllocateArray<Vertex>(4);
    scene.compiled = true;
    scene.displayList = 1;
    ReleaseContext();
    scene.DestroyScene();
    EXPECT_EQ(scene.worldVertices, nullptr);
    EXPECT_EQ(scene.worldVertexCount, 0);
    EXPECT_FALSE(scene.compiled);
    EXPECT_EQ(scene.textures.names, nullptr);
    scene.DestroyScene();
}

// Catches a list deleted for an uncompiled scene, or kept for a compiled one; and world arrays
// that are not released.
TEST_F(SceneTest, DestroyDeletesTheListOnlyWhenCompiled) {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glEndList();
    ASSERT_TRUE(glIsList(list));

    ASSERT_FALSE(Load(Example()));
    scene.displayList = list;  // recorded, but not compiled
    scene.DestroyScene();
    EXPECT_TRUE(glIsList(list)) << "never compiled: no list deleted";

    ASSERT_FALSE(Load(Example()));
    scene.worldVertexCount = 3;
    scene.worldFaceCount = 100000;  // large enough for a mapping of its own
    scene.worldVertices = AllocateArray<Vertex>(scene.worldVertexCount);
    scene.worldFaces = AllocateArray<Face>(scene.worldFaceCount);
    scene.displayList = list;
    scene.compiled = true;
    scene.DestroyScene();
    EXPECT_FALSE(glIsList(list));
    EXPECT_EQ(scene.worldFaces, nullptr);
    EXPECT_EQ(scene.worldFaceCount, 0);
    EXPECT_FALSE(scene.compiled);
}

// The reading half for the tools: what a checker sees, and where a fault is.
TEST(SceneFile, ParseGivesTheRecordsAndTheFault) {
    const std::string text = "1 2\nbox.obj 10 0 -5 2\na.tga b.tga\ncam.txt extra";
    SceneFileContents contents;
    LoadProblem problem;
    ASSERT_TRUE(ParseSceneText(text.data(), text.size(), contents, &problem));
    ASSERT_EQ(contents.objects.size(), 1u);
    EXPECT_EQ(contents.objects[0].file.fileName, "box.obj");
    EXPECT_EQ(contents.objects[0].file.offset, 4u);
    EXPECT_EQ(contents.objects[0].z, -5.0f);
    EXPECT_EQ(contents.objects[0].scale, 2.0f);
    ASSERT_EQ(contents.textures.size(), 2u);
    EXPECT_EQ(contents.textures[1].fileName, "b.tga");
    EXPECT_EQ(contents.camera.fileName, "cam.txt");
    EXPECT_EQ(contents.camera.offset, text.find("cam.txt"));

    const std::string bad = "1 0\nbox.obj 10 zero -5 2\ncam.txt";
    EXPECT_FALSE(ParseSceneText(bad.data(), bad.size(), contents, &problem));
    EXPECT_EQ(problem.offset, bad.find("zero"));
    EXPECT_NE(problem.message.find("object 0 y"), std::string::npos) << problem.message;

    const std::string negative = "0 -3 cam";
    EXPECT_FALSE(ParseSceneText(negative.data(), negative.size(), contents, &problem));
    EXPECT_EQ(problem.offset, 2u);
    EXPECT_NE(problem.message.find("negative texture count"), std::string::npos);

    const std::string smallest = "1 1 a 1 2 3 4 t c";  // every token one character
    EXPECT_TRUE(ParseSceneText(smallest.data(), smallest.size(), contents, &problem));

    const std::string shortFile = "5 1 a.tga";
    EXPECT_FALSE(ParseSceneText(shortFile.data(), shortFile.size(), contents, &problem));
    EXPECT_NE(problem.message.find("too short"), std::string::npos) << problem.message;
}
