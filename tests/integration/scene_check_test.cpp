// Guards the scene checker's reports: each problem named at the right file, line and column,
// every problem of a scene in one run, and warnings that do not make a scene refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>

#include "app/messages.h"
#include "app/scene_check.h"
#include "scene/scene_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tga_bytes.h"

namespace {

const char* kTriangle = "3 1 0 0 0 0\n0 0 0 0 0\n1 0 0 1 0\n0 1 0 0 1\n0 1 2 0\n";

std::string Tga(char imageType, int depth, char width = 1, char descriptor = 0) {
    return TgaBytes(width, 1, depth, std::string(width * depth / 8, '\x20'), descriptor, imageType);
}

std::string Messages(const SceneCheck& check) {
    std::string all;
    for (const LoadProblem& m : check.messages) all += FormatLoadProblem(m) + "\n";
    return all;
}

}  // namespace

// Catches positions that point at the wrong token, and a checker that stops at the first fault.
TEST(SceneCheck, ReportsEveryProblemAtItsPosition) {
    TempDir dir;
    const std::string bad = dir.Write("bad.obj",
                                      "3 1 0 0 0 0\n0 0 0 0 0\n1 0 0 1 0\n"
                                      "0 1 0 0 1\n0 1   7 0\n");
    const std::string good = dir.Write("good.obj", kTriangle);
    const std::string rle = dir.Write("rle.tga", Tga(10, 24));
    const std::string grey = dir.Write("grey.tga", Tga(3, 24));
    const std::string camera = dir.Write("c.cam", "0 1 2\n");
    const std::string scene =
        dir.Write("s.scn", "2 3\n" + bad + " 0 0 0 1\n" + good + " 0 0 0 1\n" + rle + "\n  " +
                               dir / "missing.tga" + "\n" + grey + "\n" + camera + "\n");

    const SceneCheck check = CheckScene(scene.c_str());
    const std::string all = Messages(check);
    EXPECT_FALSE(check.loadable);
    EXPECT_NE(all.find(bad + ":5:7: error: face 0: corner index 7"), std::string::npos) << all;
    EXPECT_NE(all.find(scene + ":4:1: error: texture '" + rle + "' is refused: run-length"),
              std::string::npos)
        << all;
    EXPECT_NE(all.find(scene + ":5:3: error: texture file '" + dir / "missing.tga" +
                       "' cannot be opened"),
              std::string::npos)
        << all;
    EXPECT_NE(all.find("is refused: grey-scale"), std::string::npos) << all;
    EXPECT_NE(all.find(camera + ":2:1: warning: camera pitch"), std::string::npos) << all;
    // The good object still counts: the totals are those of what loads.
    EXPECT_EQ(check.vertexCount, 3);
    EXPECT_EQ(check.objectCount, 1);
}

// Catches the tool's exit status drifting from what it promises (0 loads, 1 refused, 2 usage).
TEST(SceneCheck, ToolExitStatus) {
    TempDir dir;
    const std::string tool = std::string(QUORVANE_BINARY_DIR) + "/quorvane-check";
    const std::string scene = dir.Write("s.scn", "0 0 " + dir.Write("c.cam", "0 0 0 0 0 0") + "\n");
    const auto run = [&](const std::string& args) {
        const int status = std::system((tool + " " + args + " >/dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run(scene), 0);
    EXPECT_EQ(run(dir / "none.scn"), 1);
    EXPECT_EQ(run(dir / "none.scn | grep -q '^Partial totals'"), 0);
    EXPECT_EQ(run("--help"), 0);
    EXPECT_EQ(run("--help 2>/dev/null | grep -q '^usage: quorvane-check'"), 0);
    EXPECT_EQ(run("-x"), 2);
    EXPECT_EQ(run(scene + " " + scene), 2);
}

// Catches a fault of the scene file itself, or an object file that cannot be opened, reported at
// the wrong token of the scene file, or the token's bytes sent to the terminal raw; the
// shortest well-formed scene file taken as too short, or its names collected without where they
// stand.
TEST(SceneCheck, SceneFileFaultsAtTheirToken) {
    TempDir dir;
    const std::string scene =
        dir.Write("s.scn", "2 0\n  none.obj 0 0 0 1\nbox.obj 10 ze\x1bro -5 2\nc");
    const std::string all = Messages(CheckScene(scene.c_str()));
    EXPECT_NE(all.find(scene + ":2:3: error: object file 'none.obj' cannot"), std::string::npos)
        << all;
    EXPECT_NE(all.find(scene + ":3:12: error: object 2 of 2, y: not a valid value of the expected "
                               "kind: 'ze\\x1bro'"),
              std::string::npos)
        << all;
    const std::string smallest = "1 1 a 1 2 3 4 t c";  // every token one character: not too short
    SceneFileContents contents;
    ASSERT_TRUE(ParseSceneText(smallest.data(), smallest.size(), contents, nullptr));
    // Each name keeps where it stands, for a later message to point at it.
    ASSERT_EQ(contents.objects.size(), 1u);
    ASSERT_EQ(contents.textures.size(), 1u);
    EXPECT_EQ(contents.objects[0].file.offset, smallest.find('a'));
    EXPECT_EQ(contents.objects[0].z, 3.0f);
    EXPECT_EQ(contents.textures[0].fileName, "t");
    EXPECT_EQ(contents.textures[0].offset, smallest.find('t'));
    EXPECT_EQ(contents.camera.offset, smallest.find('c'));
}

// Catches a refusal said in other words than these, a long token quoted whole, a directory named
// as an object without the system's reason, and a camera reported missing when the scene was
// refused before naming one.
TEST(SceneCheck, RefusalsInTheirOwnWords) {
    TempDir dir;
    const std::string camera = dir.Write("c.cam", "0 0 0 0 0 0"), longToken(45, 'z');
    const std::pair<std::string, std::string> cases[] = {
        {"-1 0 " + camera, "negative object count"},
        {"0 -1 " + camera, "negative texture count"},
        {"0 0", "the file is too short to hold 0 object records"},
        {"99999999999 0 " + camera, "object count: number out of range: '99999999999'"},
        {"1 0 a.obj 1 2 3 x " + camera, "object 1 of 1, scale factor: not a valid value"},
        {"1 0 a.obj 1 " + longToken + " 3 1 " + camera, "'" + longToken.substr(0, 40) + "...'"},
        {"1 0 " + dir.path() + " 0 0 0 1 " + camera, "cannot be opened (Is a directory)"},
        {"1 0 " + dir.Write("short.obj", "2 0 0 0 0 0 1 2 3 4 5") + " 0 0 0 1 " + camera,
         "the file is too short to hold 2 vertices"},
    };
    for (const auto& [text, says] : cases) {
        const std::string all = Messages(CheckScene(dir.Write("s.scn", text).c_str()));
        EXPECT_NE(all.find(says), std::string::npos) << all;
        EXPECT_EQ(all.find("camera file ''"), std::string::npos) << all;
    }
}

// Catches what the viewer draws otherwise than meant going unreported (or turning into a refusal),
// and a file placed many times reported at every placement, or counted once in the totals.
TEST(SceneCheck, WarningsAndFilesPlacedManyTimes) {
    TempDir dir;
    // Seven faces naming texture 2 of 2: five warned one by one, then the rest in one line.
    std::string faces;
    for (int i = 0; i < 7; ++i) faces += "\n0 1 2 2";
    const std::string stray =
        dir.Write("stray.obj", "3 7 0 0 0 0\n0 0 0 0 0\n1 0 0 1 0\n0 1 0 0 1" + faces) +
        " 0 0 0 1\n";
    const std::string empty = dir.Write("empty.obj", "0 0 0 0 0 1") + " 0 0 0 1\n";
    const std::string hidden = dir.Write("hidden.obj",
                                         "3 1 0 0 0 2\n0 0 0 0 0\n1 0 0 1 0\n"
                                         "0 1 0 0 1\n0 1 2 0\n");
    const std::string cam = dir.Write("c.cam", "0 0 0 0 0 0");
    const std::string scene =
        dir.Write("s.scn", "5 2\n" + stray + stray + stray + hidden + " 0 0 0 1\n" + empty +
                               dir.Write("top.tga", Tga(2, 24, 2, 0x20)) + "\n" +
                               dir.Write("odd.tga", Tga(2, 32, 3)) + "\n" + cam);
    SceneCheck check = CheckScene(scene.c_str());
    const std::string all = Messages(check);
    EXPECT_TRUE(check.loadable) << all;
    EXPECT_EQ(check.messages.size(), 9u) << all;
    for (const std::string& expected :
         {dir / "stray.obj:1:1: warning: face 4: texture index 2 names no texture of the scene "
                "(its 2 textures are 0 to 1)",
          dir / "stray.obj:1:1: warning: 2 more faces with a texture index",
          hidden + ":1:1: warning: all 1 faces are hidden (hidden 2)",
          scene + ":7:1: warning: texture '" + dir / "top.tga" + "': its header says the first",
          scene + ":8:1: warning: texture '" + dir / "odd.tga" + "' is 3 x 1: OpenGL 1.1"}) {
        EXPECT_NE(all.find(expected), std::string::npos) << expected << "\n" << all;
    }
    EXPECT_EQ(all.find("empty.obj"), std::string::npos) << "an object without faces hides none";
    EXPECT_EQ(std::make_tuple(check.vertexCount, check.faceCount, check.hiddenFaceCount,
                              check.objectCount),
              std::make_tuple(12, 22, 1, 5));

    const std::string bad =
        dir.Write("bad.obj", "3 1 0 0 0 0\n0 0 0 0 0\n1 0 0 1.2.3 0\n0 1 0 0 1\n0 1 2 0\n") +
        " 0 0 0 1\n";
    check = CheckScene(dir.Write("bad.scn", "2 0\n" + bad + bad + cam).c_str());
    ASSERT_EQ(check.messages.size(), 1u) << Messages(check);
    EXPECT_EQ(
        FormatLoadProblem(check.messages[0]),
        dir / "bad.obj:3:7: error: vertex 1: not a valid value of the expected kind: '1.2.3'");
    EXPECT_EQ(check.objectCount, 0);
}
