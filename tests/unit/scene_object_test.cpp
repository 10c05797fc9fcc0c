// Guards the object file reader: layout, hidden values, scaling, and refusal of bad files.
#include <gtest/gtest.h>

#include <string>

#include "platform/message_box.h"
#include "scene/scene_object.h"
#include "tests/unit/message_box_recorder.h"
#include "tests/unit/temp_dir.h"

namespace {

const char* kTriangle = "3 1 0.5 1.5 2.5 0\n0 0 0 0 0\n1 0 0 1 0\n0 1 0 0 1\n0 1 2 0\n";

void ExpectOneObjectBox() {
    ASSERT_EQ(RecordedBoxes().size(), 1u);
    EXPECT_EQ(RecordedBoxes()[0].text, "Object could not be loaded!");
    EXPECT_EQ(RecordedBoxes()[0].caption, "Quorvane OpenGL");
    EXPECT_EQ(RecordedBoxes()[0].style, static_cast<uint32_t>(MB_OK));
}

}  // namespace

TEST(SceneObject, LoadsTheExampleTriangle) {
    TempDir dir;
    SceneObject object;
    ASSERT_FALSE(object.LoadObject(dir.Write("tri.obj", kTriangle).c_str()));
    EXPECT_TRUE(RecordedBoxes().empty());
    EXPECT_TRUE(object.loaded);
    ASSERT_EQ(object.vertexCount, 3);
    ASSERT_EQ(object.faceCount, 1);
    EXPECT_EQ(object.header1, 0.5f);
    EXPECT_EQ(object.header3, 2.5f);
    EXPECT_EQ(object.vertices[1].x, 1.0f);
    EXPECT_EQ(object.vertices[1].u, 1.0f);
    EXPECT_EQ(object.vertices[2].v, 1.0f);
    EXPECT_EQ(object.faces[0].c, 2);
    EXPECT_EQ(object.faces[0].texture, 0);
    object.FreeObject();
}

// Catches a reader that depends on line breaks, or on the base of numbers.
TEST(SceneObject, OneLineOrOneTokenPerLineLoadAlike) {
    TempDir dir;
    std::string oneLine = kTriangle, perToken = kTriangle;
    for (char& c : oneLine) c = c == '\n' ? ' ' : c;
    for (char& c : perToken) c = c == ' ' ? '\n' : c;
    SceneObject a, b;
    ASSERT_FALSE(a.LoadObject(dir.Write("a.obj", oneLine).c_str()));
    ASSERT_FALSE(b.LoadObject(dir.Write("b.obj", perToken + "\n\n\t").c_str()));
    ASSERT_EQ(a.vertexCount, b.vertexCount);
    for (int i = 0; i < a.vertexCount; ++i) {
        EXPECT_EQ(a.vertices[i].x, b.vertices[i].x);
        EXPECT_EQ(a.vertices[i].v, b.vertices[i].v);
    }
    EXPECT_EQ(a.faces[0].b, b.faces[0].b);
    a.FreeObject();
    b.FreeObject();

    SceneObject octal;
    ASSERT_FALSE(octal.LoadObject(
        dir.Write("o.obj",
                  "010 0x1 0 0 0 0  0 0 0 0 0 1 0 0 0 0 2 0 0 0 0 3 0 0 0 0 4 0 0 0 0 "
                  "5 0 0 0 0 6 0 0 0 0 7 0 0 0 0  07 0x2 01 0x10 trailing words")
            .c_str()));
    EXPECT_EQ(octal.vertexCount, 8);
    EXPECT_EQ(octal.faces[0].a, 7);
    EXPECT_EQ(octal.faces[0].texture, 16);
    octal.FreeObject();
}

// Catches a hidden value not copied into every face.
TEST(SceneObject, HiddenValueReachesEveryFace) {
    TempDir dir;
    SceneObject object;
    ASSERT_FALSE(object.LoadObject(
        dir.Write("h.obj", "3 2 0 0 0 1 0 0 0 0 0 1 0 0 0 0 0 1 0 0 0 0 1 2 0 2 1 0 5").c_str()));
    EXPECT_EQ(object.faces[0].hidden, 1);
    EXPECT_EQ(object.faces[1].hidden, 1);
    EXPECT_EQ(object.faces[1].texture, 5) << "texture indices are not checked at load";
    object.FreeObject();

    SceneObject empty;
    ASSERT_FALSE(empty.LoadObject(dir.Write("e.obj", "0 0 1 2 3 0").c_str()));
    EXPECT_TRUE(empty.loaded);
    EXPECT_EQ(empty.vertexCount, 0);
    empty.FreeObject();
}

// Catches scaling that touches u, v or the position, or that does not happen in place.
TEST(SceneObject, ScalingActsOnVertexPositionsOnly) {
    TempDir dir;
    SceneObject object;
    ASSERT_FALSE(object.LoadObject(dir.Write("tri.obj", kTriangle).c_str()));
    object.SetPosition(10, 0, -5);
    EXPECT_EQ(object.vertices[1].x, 1.0f) << "SetPosition moves no vertex";
    object.ScaleObject(0.5f);
    EXPECT_EQ(object.scale, 0.5f);
    EXPECT_EQ(object.vertices[1].x, 0.5f);
    EXPECT_EQ(object.vertices[1].u, 1.0f);
    EXPECT_EQ(object.x, 10.0f);
    object.ScaleObject(2.0f);
    object.ScaleObject(2.0f);
    EXPECT_EQ(object.vertices[1].x, 2.0f) << "a second call multiplies again";
    object.FreeObject();

    SceneObject never;
    never.ScaleObject(3.0f);
    EXPECT_EQ(never.scale, 3.0f);
    never.FreeObject();
}

// Catches malformed files that are accepted, that leak, or that allocate from a lying count.
TEST(SceneObject, MalformedFilesAreRefusedWithOneBoxAndNothingAllocated) {
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"empty file", ""},
        {"NUL bytes", std::string(64, '\0')},
        {"negative vertex count", "-1 0 0 0 0 0"},
        {"negative face count", "0 -1 0 0 0 0"},
        {"count beyond the file", "2000000000 0 0 0 0 0 1 2 3 4 5"},
        {"face count beyond the file", "0 0x7fffffff 0 0 0 0"},
        {"count out of range", "0x80000000 0 0 0 0 0"},
        {"missing header", "0 0 1 2"},
        {"word for a float", "1 0 0 0 0 0 0 zero 0 0 0"},
        {"truncated vertex", "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0                  "},
        {"truncated face", "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 0 1 2"},
        {"corner -1", "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 -1 1 2 0"},
        {"corner == vertexCount", "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 0 1 3 0"},
        {"float corner", "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 0 1 2.0 0"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        ResetMessageBoxRecorder();
        SceneObject object;
        EXPECT_TRUE(object.LoadObject(dir.Write("bad.obj", c.text).c_str())) << c.what;
        ExpectOneObjectBox();
        EXPECT_EQ(object.vertexCount, 0) << c.what;
        EXPECT_EQ(object.faceCount, 0) << c.what;
        EXPECT_FALSE(object.loaded) << c.what;
    }
    // Files that cannot be opened at all.
    for (const std::string& path : {dir / "missing.obj", dir.path()}) {
        ResetMessageBoxRecorder();
        SceneObject object;
        EXPECT_TRUE(object.LoadObject(path.c_str())) << path;
        ExpectOneObjectBox();
    }
}

// Catches a problem report that points at the wrong token (the checker relies on it).
TEST(SceneObject, ParseReportsWhereTheFileGoesWrong) {
    const std::string text = "3 1 0 0 0 0\n0 0 0 0 0\n1 0 0 1 0\n0 1 0 0 1\n0 1 7 0\n";
    SceneObject object;
    LoadProblem problem;
    EXPECT_FALSE(ParseObjectText(text.data(), text.size(), object, &problem));
    EXPECT_EQ(problem.offset, text.find('7'));
    EXPECT_NE(problem.message.find("face 0"), std::string::npos) << problem.message;
}
