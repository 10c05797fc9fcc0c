// Guards the object file reader: layout, base prefixes, hidden values, and refusal of malformed
// files. Lying counts, bad corners, NaN and files that are not files are the hostile-input
// table's; scaling and placing are checked through the scene loader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/scene_object.h"
#include "tests/unit/message_box_recorder.h"
#include "tests/unit/temp_dir.h"

namespace {
const char* kTriangle = "3 1 0.5 1.5 2.5 0\n0 0 0 0 0\n1 0 0 1 0\n0 1 0 0 1\n0 1 2 3\n";
}  // namespace

// Catches a reader that depends on line breaks, and a vertex field or face field
// read into the wrong place.
TEST(SceneObject, LoadsAlikeOnOneLineOrOneTokenPerLine) {
    TempDir dir;
    std::string oneLine = kTriangle, perToken = kTriangle;
    for (char& c : oneLine) c = c == '\n' ? ' ' : c;
    for (char& c : perToken) c = c == ' ' ? '\n' : c;
    for (const std::string& text : {oneLine, perToken + "\n\n\t"}) {
        SceneObject o;
        ASSERT_FALSE(o.LoadObject(dir.Write("t.obj", text).c_str()));
        ASSERT_TRUE(o.loaded && o.vertexCount == 3 && o.faceCount == 1);
        const Vertex* v = o.vertices;
        EXPECT_EQ((std::vector<float>{v[1].x, v[1].u, v[2].v}), (std::vector<float>{1, 1, 1}));
        const Face& f = o.faces[0];
        EXPECT_EQ((std::vector<int32_t>{f.a, f.b, f.c, f.texture}),
                  (std::vector<int32_t>{0, 1, 2, 3}));
        o.FreeObject();
    }
    EXPECT_TRUE(RecordedBoxes().empty());
}

// Catches a hidden value not copied into every face, counts and indices read without their base
// prefix, a texture index checked at load (faces of an unknown texture are kept), and an empty
// object refused.
TEST(SceneObject, HiddenValueAndBasePrefixes) {
    TempDir dir;
    std::string text = "010 0x2 0 0 0 1 ";
    for (int i = 0; i < 8; ++i) text += std::to_string(i) + " 0 0 0 0 ";
    SceneObject o, empty;
    ASSERT_FALSE(o.LoadObject(dir.Write("o.obj", text + "07 0x2 01 0x10 1 2 3 5 words").c_str()));
    ASSERT_TRUE(o.vertexCount == 8 && o.faceCount == 2);
    EXPECT_EQ(o.vertices[7].x, 7.0f);
    EXPECT_EQ((std::vector<int32_t>{o.faces[0].a, o.faces[0].b, o.faces[0].texture}),
              (std::vector<int32_t>{7, 2, 16}));
    EXPECT_EQ(o.faces[1].texture, 5);
    EXPECT_TRUE(o.faces[0].hidden == 1 && o.faces[1].hidden == 1);
    o.FreeObject();
    ASSERT_FALSE(empty.LoadObject(dir.Write("e.obj", "0 0 1 2 3 0").c_str()));
    EXPECT_TRUE(empty.loaded);
}

// Catches malformed files that are accepted, that leak, or that leave the object half filled.
TEST(SceneObject, MalformedFilesAreRefusedWithOneBoxAndNothingKept) {
    TempDir dir;
    for (const char* text : {"0 -1 0 0 0 0", "0 0 1 2", "1 0 0 0 0 0 0 zero 0 0 0",
                             "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0                  ",
                             "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 0 1 2",
                             "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 0 1 2.0 0"}) {
        ResetMessageBoxRecorder();
        SceneObject object;
        EXPECT_TRUE(object.LoadObject(dir.Write("bad.obj", text).c_str())) << text;
        ASSERT_EQ(RecordedBoxes().size(), 1u) << text;
        EXPECT_EQ(RecordedBoxes()[0].text, "Object could not be loaded!");
        EXPECT_TRUE(object.vertexCount == 0 && object.faceCount == 0 && !object.loaded) << text;
    }
}
