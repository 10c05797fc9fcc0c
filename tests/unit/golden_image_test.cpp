// Guards the pictures quorvane-shot draws: the demo and three tiny scenes match the committed
// golden images, the tiny scenes show what they are built to show (texture the right way up,
// fog blending a far quad, nothing drawn without textures), and the tool's command line, exit
// status and messages.
//
// Tolerance: a channel may differ by up to kChannelTolerance, and at most one pixel in
// kPixelsPerOutlier beyond that. Mesa's software renderer draws the same bytes on every run here
// (also with one thread or 128-bit vectors); the margin is for another CPU or Mesa release,
// where rounding in filtering and fog can move a channel by one and an edge by a pixel.
// QUORVANE_UPDATE_GOLDENS=1 makes the GoldenImage tests rewrite their goldens instead of comparing
// (tools/update-goldens.sh).
#include <gtest/gtest.h>
#include <sys/wait.h>  // WIFEXITED, WEXITSTATUS of popen's status

#include <algorithm>  // max
#include <cstdio>     // popen
#include <cstdlib>    // getenv
#include <filesystem>
#include <string>

#include "render/tga.h"
#include "tests/unit/temp_dir.h"
#include "tools/png/png_file.h"

namespace {

constexpr int kChannelTolerance = 2;
constexpr long kPixelsPerOutlier = 1000;
constexpr int kClearGrey = 26;  // the clear and fog colour 0.1, as 8 bits

const std::string kSourceDir = QUORVANE_SOURCE_DIR;
const std::string kBinaryDir = QUORVANE_BINARY_DIR;

struct ToolRun {
    int status = -1;  // exit status; -1 when it did not exit by itself
    std::string output;
};

// Runs quorvane-shot in `dir` with `args` (already quoted), after `environment` assignments.
ToolRun RunShot(const std::string& dir, const std::string& args,
                const std::string& environment = "") {
    const std::string command = "cd '" + dir + "' && " + environment + " timeout -s KILL 120 '" +
                                kBinaryDir + "/quorvane-shot' " + args + " 2>&1";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.output += buffer;
    const int status = pclose(pipe);
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    return run;
}

Image LoadPng(const std::string& path) {
    Image image;
    std::string error;
    EXPECT_TRUE(ReadPng(path, image, error)) << path << ": " << error;
    return image;
}

const uint8_t* PixelAt(const Image& image, int x, int y) {  // y from the bottom
    return &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
}

// "" when the pictures match within the tolerance; otherwise what differs.
std::string Difference(const Image& expected, const Image& actual) {
    if (expected.width != actual.width || expected.height != actual.height) {
        return "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) +
               ", golden " + std::to_string(expected.width) + "x" + std::to_string(expected.height);
    }
    long outliers = 0;
    int largest = 0;
    for (size_t i = 0; i < expected.rgba.size(); i += 4) {
        int worst = 0;
        for (size_t c = 0; c < 3; ++c) {
            worst = std::max(worst, std::abs(expected.rgba[i + c] - actual.rgba[i + c]));
        }
        largest = std::max(largest, worst);
        if (worst > kChannelTolerance) ++outliers;
    }
    const long allowed = static_cast<long>(expected.width) * expected.height / kPixelsPerOutlier;
    if (outliers <= allowed) return "";
    return std::to_string(outliers) + " pixels differ by more than " +
           std::to_string(kChannelTolerance) + " (at most " + std::to_string(allowed) +
           " may), largest difference " + std::to_string(largest);
}

// Compares the picture at `rendered` with tests/golden/NAME.png, or replaces the golden with it
// when QUORVANE_UPDATE_GOLDENS is set. A mismatch keeps the picture in the build tree.
void ExpectMatchesGolden(const std::string& rendered, const std::string& name) {
    namespace fs = std::filesystem;
    const std::string golden = kSourceDir + "/tests/golden/" + name + ".png";
    const char* update = std::getenv("QUORVANE_UPDATE_GOLDENS");
    if (update != nullptr && std::string(update) == "1") {
        fs::copy_file(rendered, golden, fs::copy_options::overwrite_existing);
        std::printf("rewrote %s\n", golden.c_str());
        return;
    }
    const std::string difference = Difference(LoadPng(golden), LoadPng(rendered));
    if (difference.empty()) return;
    const std::string kept = kBinaryDir + "/golden-mismatch/" + name + ".png";
    fs::create_directories(fs::path(kept).parent_path());
    fs::copy_file(rendered, kept, fs::copy_options::overwrite_existing);
    ADD_FAILURE() << name << ": " << difference << "; the new picture is " << kept;
}

// A 4 x 4 texture of four 2 x 2 quarters; the first TGA row is the bottom (v = 0).
constexpr uint8_t kBottomLeft[3] = {220, 40, 40};
constexpr uint8_t kBottomRight[3] = {40, 200, 60};
constexpr uint8_t kTopLeft[3] = {40, 60, 220};
constexpr uint8_t kTopRight[3] = {230, 210, 40};

std::string QuarterTexture() {
    std::string file(18, '\0');
    file[2] = 2;
    file[12] = 4;
    file[14] = 4;
    file[16] = 24;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            const uint8_t* rgb = row < 2 ? (column < 2 ? kBottomLeft : kBottomRight)
                                         : (column < 2 ? kTopLeft : kTopRight);
            file +=
                {static_cast<char>(rgb[2]), static_cast<char>(rgb[1]), static_cast<char>(rgb[0])};
        }
    }
    return file;
}

// A square from (-1, -1) to (1, 1) in the plane z = 0, the whole texture 0 on it.
const char* kQuad =
    "4 2 0 0 0 0\n"
    "-1 -1 0 0 0\n1 -1 0 1 0\n1 1 0 1 1\n-1 1 0 0 1\n"
    "0 1 2 0\n0 2 3 0\n";

// A tiny scene: a directory holding data/demo.scn and the files it names.
class TinyScene : public ::testing::Test {
  protected:
    // Writes data/demo.scn with the quad at z `quadZ` scaled by `scale`, the texture when
    // `textured`, and the camera at (0, 0, `cameraZ`) looking down -z.
    void Build(float quadZ, float scale, bool textured, float cameraZ) {
        dir.Write("data/quad.obj", kQuad);
        dir.Write("data/quarters.tga", QuarterTexture());
        dir.Write("data/eye.cam", "0 0 " + std::to_string(cameraZ) + " 0 0 0\n");
        dir.Write("data/demo.scn", std::string(textured ? "1 1\n" : "1 0\n") +
                                       "data/quad.obj 0 0 " + std::to_string(quadZ) + " " +
                                       std::to_string(scale) + "\n" +
                                       (textured ? "data/quarters.tga\n" : "") + "data/eye.cam\n");
    }
    // Draws the scene at 64 x 48 into NAME.png, checks it against its golden and returns it.
    Image Shoot(const std::string& name) {
        const ToolRun run = RunShot(dir.path(), "data/demo.scn " + name + ".png --size 64x48");
        EXPECT_EQ(run.status, 0) << run.output;
        ExpectMatchesGolden(dir / (name + ".png"), name);
        return LoadPng(dir / (name + ".png"));
    }
    TempDir dir;
};

// The pictures compared with goldens (QUORVANE_UPDATE_GOLDENS=1 rewrites exactly these).
class GoldenImage : public TinyScene {};
// The command line, exit status and messages.
class ShotTool : public TinyScene {};

// The texture's colour `texel` at (x, y), seen through fog that lets `visible` of it through.
void ExpectFogged(const Image& image, int x, int y, const uint8_t* texel, double visible) {
    const uint8_t* p = PixelAt(image, x, y);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(p[c], visible * texel[c] + (1.0 - visible) * 25.5, 3.0)
            << "channel " << c << " at (" << x << ", " << y << ")";
    }
}

// The quad fills 60% of the width and 80% of the height of a 64 x 48 picture; its quarters'
// centres lie a quarter of that from the middle: x 32 -/+ 9.7, y 24 -/+ 9.7 (from the bottom).
void ExpectQuarters(const Image& image, double visible) {
    ExpectFogged(image, 22, 14, kBottomLeft, visible);
    ExpectFogged(image, 41, 14, kBottomRight, visible);
    ExpectFogged(image, 22, 33, kTopLeft, visible);
    ExpectFogged(image, 41, 33, kTopRight, visible);
    ExpectFogged(image, 1, 1, kBottomLeft, 0.0);  // the clear colour around it
}

}  // namespace

// Catches a texture drawn upside down or mirrored, and fog or filtering that tints a near quad.
TEST_F(GoldenImage, NearTexturedQuadShowsItsQuartersUnfogged) {
    Build(0.0f, 1.0f, true, 3.0f);  // 3 units away: fog starts at 15
    ExpectQuarters(Shoot("near_quad"), 1.0);
}

// Catches fog that is off, of the wrong mode or range, or applied to the clear colour.
TEST_F(GoldenImage, FarQuadIsBlendedWithTheFogColour) {
    Build(-60.0f, 20.0f, true, 0.0f);  // linear fog from 15 to 100 leaves (100 - 60) / 85
    ExpectQuarters(Shoot("far_quad"), 40.0 / 85.0);
}

// Catches faces drawn with a texture the scene does not have (or with none at all).
TEST_F(GoldenImage, WithoutTexturesOnlyTheClearColourShows) {
    Build(0.0f, 1.0f, false, 3.0f);
    const Image image = Shoot("no_textures");
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        ASSERT_NEAR(image.rgba[i], kClearGrey, 1) << "pixel " << i / 4;
        ASSERT_EQ(image.rgba[i], image.rgba[i + 1]);
        ASSERT_EQ(image.rgba[i], image.rgba[i + 2]);
    }
}

// Catches a change to anything the viewer's first frame depends on: start-up order, GL state,
// projection, fog, camera, loading, compilation, and the picture's orientation on disk.
TEST_F(GoldenImage, DemoMatchesItsGolden) {
    TempDir out;
    const ToolRun run = RunShot(kSourceDir, "data/demo.scn '" + (out / "demo.png") + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    ExpectMatchesGolden(out / "demo.png", "demo");
    // Independently of the golden: the sky (clear colour) on top, the lit courtyard below.
    const Image image = LoadPng(out / "demo.png");
    ASSERT_EQ(image.width, 640);
    ASSERT_EQ(image.height, 480);
    EXPECT_EQ(PixelAt(image, 320, 475)[0], kClearGrey);
    EXPECT_GT(PixelAt(image, 320, 5)[0], 100);
}

// Catches a TGA whose rows or colour order differ from the PNG's: both decode to the same
// pixels, the TGA through the viewer's own reader.
TEST_F(ShotTool, TgaAndPngHoldTheSamePicture) {
    Build(0.0f, 1.0f, true, 3.0f);
    ASSERT_EQ(RunShot(dir.path(), "data/demo.scn a.png --size 64x48").status, 0);
    ASSERT_EQ(RunShot(dir.path(), "data/demo.scn b.tga --size 64x48").status, 0);
    const Image png = LoadPng(dir / "a.png");
    const std::string file = ReadWholeFile(dir / "b.tga");
    TgaImage tga;
    ASSERT_EQ(DecodeTga(reinterpret_cast<const uint8_t*>(file.data()), file.size(), tga),
              TgaError::None);
    ASSERT_EQ(tga.width, 64u);
    ASSERT_EQ(tga.height, 48u);
    ASSERT_EQ(tga.bitsPerPixel, 24u);
    for (size_t i = 0; i < 64 * 48; ++i) {
        for (int c = 0; c < 3; ++c) ASSERT_EQ(tga.pixels[i * 3 + c], png.rgba[i * 4 + c]);
    }
    ReleaseTgaImage(tga);
}

// Catches wrong defaults (scene, picture name, the viewer's 640 x 480) and a size ignored.
TEST_F(ShotTool, DefaultsAndSize) {
    Build(0.0f, 1.0f, true, 3.0f);
    ASSERT_EQ(RunShot(dir.path(), "").status, 0);
    const Image whole = LoadPng(dir / "quorvane-shot.png");
    EXPECT_EQ(whole.width, 640);
    EXPECT_EQ(whole.height, 480);
    ASSERT_EQ(RunShot(dir.path(), "--size 33x7 data/demo.scn odd.png").status, 0);
    const Image odd = LoadPng(dir / "odd.png");
    EXPECT_EQ(odd.width, 33);
    EXPECT_EQ(odd.height, 7);
}

// Catches bad arguments that render anyway, crash, or leave the user without a reason.
TEST_F(ShotTool, UsageErrorsExitWithTwo) {
    Build(0.0f, 1.0f, true, 3.0f);
    for (const char* args :
         {"-x", "a.scn b.png c", "data/demo.scn out.jpg", "--size", "--size 0x48", "--size 64x",
          "--size 64x48x", "--size 4097x1", "--size -64x48", "--size 64y48", "--size ' 64x48'"}) {
        const ToolRun run = RunShot(dir.path(), args);
        EXPECT_EQ(run.status, 2) << args << "\n" << run.output;
        EXPECT_NE(run.output.find("usage: quorvane-shot"), std::string::npos) << args;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "quorvane-shot.png"));
    EXPECT_EQ(RunShot(dir.path(), "--help").status, 0);
}

// Catches a refused scene that still writes a picture, a message that never reaches standard
// error when there is no display, and a write failure that reports success.
TEST_F(ShotTool, RefusalsExitWithOneAndSayWhy) {
    Build(0.0f, 1.0f, true, 3.0f);
    dir.Write("data/broken.scn", "1 0\ndata/missing.obj 0 0 0 1\ndata/eye.cam\n");
    for (const char* environment : {"", "env -u SDL_VIDEODRIVER -u DISPLAY -u WAYLAND_DISPLAY"}) {
        const ToolRun run = RunShot(dir.path(), "data/broken.scn out.png", environment);
        EXPECT_EQ(run.status, 1) << environment << "\n" << run.output;
        EXPECT_NE(run.output.find("Quorvane OpenGL: Object could not be loaded!"),
                  std::string::npos)
            << run.output;
        EXPECT_NE(run.output.find("data/broken.scn: the viewer refuses this scene"),
                  std::string::npos)
            << run.output;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.png"));
    EXPECT_EQ(RunShot(dir.path(), "nowhere.scn out.png").status, 1);

    for (const char* picture : {"missing/out.png", "missing/out.tga"}) {
        const ToolRun run = RunShot(dir.path(), std::string("data/demo.scn ") + picture);
        EXPECT_EQ(run.status, 1) << picture;
        EXPECT_NE(run.output.find(picture), std::string::npos) << run.output;
    }
}
