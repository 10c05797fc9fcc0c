// Guards the pictures quorvane-shot draws, the demo and three tiny scenes, against the committed
// golden images (see golden.h for the tolerance), and the tool's command line and exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>  // distance
#include <string>
#include <tuple>
#include <utility>  // make_pair, swap
#include <vector>

#include "render/tga.h"  // EncodeTga
#include "tests/support/golden.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"
#include "tools/image/image.h"

namespace {

namespace fs = std::filesystem;

const std::string kSourceDir = QUORVANE_SOURCE_DIR;
// A square from (-1, -1) to (1, 1) in the plane z = 0, the whole texture 0 on it.
const char* kQuad = "4 2 0 0 0 0  -1 -1 0 0 0  1 -1 0 1 0  1 1 0 1 1  -1 1 0 0 1  0 1 2 0  0 2 3 0";

// A directory holding data/demo.scn: kQuad placed by `quad` (x y z scale), with a texture of
// four coloured quarters (bottom row first: v = 0) when `textured`, seen from (0, 0, `eyeZ`)
// looking down -z.
class TinyScene : public ::testing::Test {
  protected:
    void Build(const std::string& quad = "0 0 0 1", bool textured = true, const char* eyeZ = "3") {
        const Rgb colours[4] = {{220, 40, 40}, {40, 200, 60}, {40, 60, 220}, {230, 210, 40}};
        Image tga = MakeImage(4, 4, false);
        for (int i = 0; i < 16; ++i) SetPixel(tga, i % 4, i / 4, colours[i / 8 * 2 + i % 4 / 2]);
        dir.Write("data/quarters.tga",
                  EncodeTga(tga.width, tga.height, tga.alpha, tga.rgba.data()));
        dir.Write("data/quad.obj", kQuad);
        dir.Write("data/eye.cam", std::string("0 0 ") + eyeZ + " 0 0 0\n");
        dir.Write("data/demo.scn", (textured ? "1 1\ndata/quad.obj " : "1 0\ndata/quad.obj ") +
                                       quad + (textured ? "\ndata/quarters.tga" : "") +
                                       "\ndata/eye.cam\n");
    }
    // Runs quorvane-shot with `args` (quoted already) in `cwd` (default: the scene's directory)
    // after `environment` assignments; its exit status, -1 when it did not exit by itself. What it
    // printed is left in Log().
    int Shot(const std::string& args, const std::string& environment = "", std::string cwd = "") {
        return RunTool(kShotTool, args, cwd.empty() ? dir.path() : cwd, dir / "log", environment);
    }
    std::string Log() const { return ReadWholeFile(dir / "log"); }
    bool Said(const std::string& text) const { return Log().find(text) != std::string::npos; }
    // Draws the scene at 64 x 48 and compares it with the golden NAME.
    void ExpectShotMatches(const std::string& name) {
        ASSERT_EQ(Shot("data/demo.scn '" + Rendered(name) + "' --size 64x48"), 0) << Log();
        ExpectMatchesGolden(name);
    }
    TempDir dir;
};

// The pictures compared with goldens (QUORVANE_UPDATE_GOLDENS=1 rewrites exactly these).
class GoldenImage : public TinyScene {};
// The command line and exit status.
class ShotTool : public TinyScene {};

}  // namespace

// Catches a change to anything a first frame depends on: start-up order, GL state, projection,
// fog, the camera, loading, compilation, faces drawn without their texture, a texture upside down
// or mirrored (its quarters differ), and the picture's orientation on disk.
TEST_F(GoldenImage, PicturesMatchTheirGoldens) {
    ASSERT_EQ(Shot("data/demo.scn '" + Rendered("demo") + "'", "", kSourceDir), 0) << Log();
    ExpectMatchesGolden("demo");
    Build();
    ExpectShotMatches("near_quad");
    Build("0 0 -60 20", true, "0");  // 60 units away, into fog from 15 to 100
    ExpectShotMatches("far_quad");
    Build("0 0 0 1", false);
    ExpectShotMatches("no_textures");
}

// Catches wrong defaults (scene; the viewer's 640 x 480; a picture nobody named written into the
// working directory, over another file, or left behind empty by a refusal), a size ignored, a TGA
// whose rows or colour order differ from the PNG's; bad arguments that render anyway, crash or
// give no usage; a refused scene or a picture that cannot be written that still reports success;
// a message that never reaches standard error when there is no display.
TEST_F(ShotTool, CommandLineAndExitStatus) {
    Build();
    const std::string tmp = "TMPDIR='" + dir / "tmp" + "'";
    fs::create_directories(dir / "tmp");
    const fs::path decoy = dir.Write("tmp/demo-XXXXXX.png", "");  // for a careless default
    ASSERT_EQ(Shot("", tmp), 0) << Log();
    const std::string wrote = Log();
    EXPECT_EQ(Shot("data/missing.scn", tmp), 1);
    std::vector<fs::path> shots(fs::directory_iterator(dir / "tmp"), {});
    ASSERT_EQ(shots.size(), 2u);
    if (shots[0] == decoy) std::swap(shots[0], shots[1]);
    EXPECT_EQ(wrote, "quorvane-shot: wrote " + shots[0].string() + "\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 3);  // data, log, tmp
    ASSERT_EQ(Shot("--size 33x7 data/demo.scn odd.PNG"), 0) << Log();
    ASSERT_EQ(Shot("data/demo.scn odd.tga --size 33x7"), 0) << Log();
    const Image whole = LoadPng(shots[0]), odd = LoadPng(dir / "odd.PNG");
    EXPECT_EQ(std::make_pair(whole.width, whole.height), std::make_pair(640, 480));
    EXPECT_EQ(std::make_pair(odd.width, odd.height), std::make_pair(33, 7));
    EXPECT_EQ(ReadWholeFile(dir / "odd.tga"),
              EncodeTga(odd.width, odd.height, odd.alpha, odd.rgba.data()));

    dir.Write("data/broken.scn", "1 0\ndata/missing.obj 0 0 0 1\ndata/eye.cam\n");
    const std::string usage = "usage: quorvane-shot", refused = ": refused; quorvane-check";
    std::vector<std::tuple<std::string, int, std::string>> cases = {
        {"--help", 0, usage},
        {"data/broken.scn out.png", 1, "data/broken.scn" + refused},
        {"nowhere.scn out.png", 1, "nowhere.scn" + refused},
        {"data/demo.scn missing/out.png", 1, "missing/out.png"},
        {"data/demo.scn missing/out.tga", 1, "missing/out.tga"}};
    for (const char* args :
         {"-x", "a.scn b.png c", "data/demo.scn out.jpg", "--size", "--size 0x48", "--size 64x",
          "--size 64x48x", "--size 4097x1", "--size -64x48", "--size 64y48", "--size ' 64x48'"}) {
        cases.emplace_back(args, 2, usage);
    }
    for (const auto& [args, status, says] : cases) {
        EXPECT_EQ(Shot(args), status) << args;
        EXPECT_TRUE(Said(says)) << args << "\n" << Log();
    }
    const std::string noDisplay = "env -u SDL_VIDEODRIVER -u DISPLAY -u WAYLAND_DISPLAY";
    EXPECT_EQ(Shot("data/broken.scn out.png", noDisplay), 1);
    EXPECT_TRUE(Said("Quorvane OpenGL: Object could not be loaded!")) << Log();
    EXPECT_FALSE(fs::exists(dir / "out.png"));
}
