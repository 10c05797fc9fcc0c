// Guards the object file reader and the writers' numbers: layout, base prefixes, hidden values, and
// refusal of malformed files. Lying counts, bad corners, NaN and files that are not files are the
// hostile-input table's; scaling and placing are checked through the scene loader.
#include <gtest/gtest.h>

#include <charconv>  // to_chars: what the writer must agree with
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "scene/camera.h"  // EncodeCamera: the number writer of every text format
#include "scene/scene_object.h"
#include "tests/support/message_box_recorder.h"
#include "tests/support/temp_dir.h"

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
        ASSERT_TRUE(o.loaded);
        ASSERT_EQ(o.vertexCount, 3);
        ASSERT_EQ(o.faceCount, 1);
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
    ASSERT_EQ(o.vertexCount, 8);
    ASSERT_EQ(o.faceCount, 2);
    EXPECT_EQ(o.vertices[7].x, 7.0f);
    EXPECT_EQ((std::vector<int32_t>{o.faces[0].a, o.faces[0].b, o.faces[0].texture}),
              (std::vector<int32_t>{7, 2, 16}));
    EXPECT_EQ(o.faces[1].texture, 5);
    EXPECT_EQ(o.faces[0].hidden, 1);
    EXPECT_EQ(o.faces[1].hidden, 1);
    o.FreeObject();
    ASSERT_FALSE(empty.LoadObject(dir.Write("e.obj", "0 0 1 2 3 0").c_str()));
    EXPECT_TRUE(empty.loaded);
}

// Catches malformed files that are accepted, that leak, that leave the object half filled, or
// whose refusal does not say which file, where, and that it is the object's box.
TEST(SceneObject, MalformedFilesAreRefusedWithTheirPlaceAndNothingKept) {
    TempDir dir;
    for (const char* text : {"0 -1 0 0 0 0", "0 0 1 2", "1 0 0 0 0 0 0 zero 0 0 0",
                             "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0                  ",
                             "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 0 1 2",
                             "3 1 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 0 1 2.0 0"}) {
        SceneObject object;
        LoadProblem problem;
        const std::string file = dir.Write("bad.obj", text);
        EXPECT_TRUE(object.LoadObject(file.c_str(), &problem)) << text;
        EXPECT_EQ(problem.box, LoadBox::Object) << text;
        EXPECT_EQ(problem.file, file) << text;
        EXPECT_EQ(problem.line, 1) << text;
        EXPECT_GT(problem.column, 1) << text;
        EXPECT_FALSE(problem.message.empty()) << text;
        EXPECT_EQ(object.vertexCount, 0) << text;
        EXPECT_EQ(object.faceCount, 0) << text;
        EXPECT_FALSE(object.loaded) << text;
    }
}

namespace {

// An object file of several megabytes, so that it is read by more than one thread: vertex i is
// (i, -i, i / 4, i % 3, 1), face j is (j % n, (j + 1) % n, (j + 2) % n, j % 7).
std::vector<std::string> BigObject(int32_t vertices, int32_t faces) {
    std::vector<std::string> tokens = {
        std::to_string(vertices), std::to_string(faces), "0", "0", "0", "1"};
    for (int32_t i = 0; i < vertices; ++i) {
        for (double value : {double(i), -double(i), i / 4.0, double(i % 3), 1.0}) {
            tokens.push_back(std::to_string(value));
        }
    }
    for (int32_t j = 0; j < faces; ++j) {
        for (int32_t value : {j % vertices, (j + 1) % vertices, (j + 2) % vertices, j % 7}) {
            tokens.push_back(std::to_string(value));
        }
    }
    return tokens;
}

// The tokens after `padding` blanks, with every kind of white space between them; `offsets`
// receives where each token starts.
std::string Join(const std::vector<std::string>& tokens, size_t padding,
                 std::vector<size_t>& offsets) {
    static const char* const kSeparators[] = {" ", "\t", "\n", " \r\n", "\v\f"};
    std::string text(padding, ' ');
    offsets.clear();
    for (size_t i = 0; i < tokens.size(); ++i) {
        offsets.push_back(text.size());
        text += tokens[i] + kSeparators[i % std::size(kSeparators)];
    }
    return text;
}

}  // namespace

// Catches a large file read by several threads putting any value in the wrong place (a chunk
// starting at the wrong token, in the vertices or in any field of the faces, or counted with some
// white space missed), or reporting another fault than the first in the file (the one a single
// reader meets), or missing the end of the file.
TEST(SceneObject, LargeFilesReadAsOneReaderWould) {
    for (const auto& [vertices, faces] :
         {std::pair<int32_t, int32_t>{100000, 1000}, std::pair<int32_t, int32_t>{1000, 300000}}) {
        const std::vector<std::string> tokens = BigObject(vertices, faces);
        std::vector<size_t> offsets;
        for (size_t padding = 0; padding < 24; padding += 3) {  // chunks cut at other tokens
            SceneObject object;
            const std::string text = Join(tokens, padding, offsets);
            ASSERT_TRUE(ParseObjectText(text.data(), text.size(), object, nullptr)) << padding;
            bool exact = true;
            for (int32_t i = 0; i < vertices; ++i) {
                const Vertex& v = object.vertices[i];
                exact =
                    exact && v.x == i && v.y == -i && v.z == i / 4.0f && v.u == i % 3 && v.v == 1;
            }
            for (int32_t j = 0; j < faces; ++j) {
                const Face& f = object.faces[j];
                exact = exact && f.a == j % vertices && f.c == (j + 2) % vertices &&
                        f.texture == j % 7 && f.hidden == 1 && f.nx == 0;
            }
            EXPECT_TRUE(exact) << vertices << " vertices, " << faces << " faces, " << padding;
            object.FreeObject();
        }

        const size_t early = tokens.size() / 5, late = tokens.size() * 4 / 5;
        const struct {
            std::vector<std::pair<size_t, std::string>> changes;
            size_t faultToken;  // its offset is the one to report; past the last: the end
        } cases[] = {
            {{{late, "1.2.3"}}, late},
            {{{early, "x"}, {late, "1.2.3"}}, early},
            {{{tokens.size() - 3, std::to_string(vertices)}}, tokens.size() - 3},  // a corner
            {{{tokens.size() - 1, ""}}, tokens.size()},  // the file ends a token short
        };
        for (const auto& c : cases) {
            std::vector<std::string> changed = tokens;
            for (const auto& [at, token] : c.changes) changed[at] = token;
            const std::string bad = Join(changed, 0, offsets);
            LoadProblem problem;
            SceneObject refused;
            EXPECT_FALSE(ParseObjectText(bad.data(), bad.size(), refused, &problem));
            EXPECT_EQ(problem.offset,
                      c.faultToken < offsets.size() ? offsets[c.faultToken] : bad.size())
                << problem.message;
            EXPECT_EQ(refused.vertices, nullptr);
        }
    }
}

// Catches a number writer that rounds other than to_chars' four decimals do (ties to even, on
// the value's exact bits), keeps a sign on what rounds to zero, or loses digits of large values:
// the files a model is imported into would then show it a little elsewhere than read.
TEST(SceneObject, NumbersAreWrittenAsFourExactlyRoundedDecimals) {
    const auto expected = [](double value) {
        char text[400];
        char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4).ptr;
        while (end[-1] == '0') --end;
        if (end[-1] == '.') --end;
        std::string written(text, end);
        return written == "-0" ? std::string("0") : written;
    };
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1.0,
                                  -2.5,
                                  0.00005,
                                  -0.00004,
                                  1e-300,
                                  123456.78125,
                                  1099511627775.5,
                                  1099511627776.5,
                                  3e15,
                                  -7.999949999};
    for (int shift = 1; shift < 30; ++shift) {  // ties on the fifth decimal and beyond
        for (int k = -40; k <= 40; ++k) values.push_back(std::ldexp(k, -shift));
    }
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        values.push_back(std::uniform_real_distribution<float>(-50.0f, 50.0f)(random));
        uint32_t bits = static_cast<uint32_t>(random());
        float any;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any)) values.push_back(any);
    }
    for (size_t i = 0; i + 6 <= values.size(); i += 6) {
        const CameraStart c{values[i],     values[i + 1], values[i + 2],
                            values[i + 3], values[i + 4], values[i + 5]};
        std::string want;
        for (size_t j = i; j < i + 6; ++j)
            want += expected(values[j]) + (j + 1 < i + 6 ? " " : "\n");
        ASSERT_EQ(EncodeCamera(c), want);
    }
}
