// Guards the scene checker's reports: each problem named at the right file, line and column,
// every problem of a scene in one run, and warnings that do not make a scene refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/scene_check.h"
#include "scene/scene_file.h"
#include "tests/unit/temp_dir.h"

namespace {

const char* kTriangle = "3 1 0 0 0 0\n0 0 0 0 0\n1 0 0 1 0\n0 1 0 0 1\n0 1 2 0\n";

std::string Tga(char imageType, int depth) {
    std::string file(18, '\0');
    file[2] = imageType;
    file[12] = 1;
    file[14] = 1;
    file[16] = static_cast<char>(depth);
    return file + std::string(depth / 8, '\x20');
}

std::string Messages(const SceneCheck& check) {
    std::string all;
    for (const CheckMessage& m : check.messages) all += FormatCheckMessage(m) + "\n";
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
    EXPECT_EQ(check.objectCount, 2);
}

// Catches a warning about unknown texture indices turning an acceptable scene into a refusal.
TEST(SceneCheck, UnknownTextureIndexIsOnlyAWarning) {
    TempDir dir;
    const std::string path = dir.Write("o.obj",
                                       "3 1 0 0 0 1\n0 0 0 0 0\n1 0 0 1 0\n0 1 0 0 1\n"
                                       "0 1 2 4\n");
    const std::string scene =
        dir.Write("s.scn", "1 0 " + path + " 0 0 0 1 " + dir.Write("c.cam", "1 2 3 4 5 6"));
    const SceneCheck check = CheckScene(scene.c_str());
    EXPECT_TRUE(check.loadable) << Messages(check);
    ASSERT_EQ(check.messages.size(), 1u);
    EXPECT_TRUE(check.messages[0].warning);
    EXPECT_NE(check.messages[0].text.find("face 0: texture index 4"), std::string::npos);
    EXPECT_EQ(check.hiddenFaceCount, 1);
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
    EXPECT_EQ(run("--help"), 2);
    EXPECT_EQ(run(scene + " " + scene), 2);
}

// Catches a fault of the scene file itself, or an object file that cannot be opened, reported at
// the wrong token of the scene file; and the shortest well-formed scene file taken as too short.
TEST(SceneCheck, SceneFileFaultsAtTheirToken) {
    TempDir dir;
    const std::string scene =
        dir.Write("s.scn", "2 0\n  none.obj 0 0 0 1\nbox.obj 10 zero -5 2\nc");
    const std::string all = Messages(CheckScene(scene.c_str()));
    EXPECT_NE(all.find(scene + ":2:3: error: object file 'none.obj' cannot"), std::string::npos)
        << all;
    EXPECT_NE(all.find(scene + ":3:12: error: object 1 y"), std::string::npos) << all;
    const std::string smallest = "1 1 a 1 2 3 4 t c";  // every token one character: not too short
    SceneFileContents contents;
    EXPECT_TRUE(ParseSceneText(smallest.data(), smallest.size(), contents, nullptr));
}
