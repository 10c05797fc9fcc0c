// Guards quorvane-thumbnailer as file managers run it: a thumbnail of every model of the import
// table, of the size asked for, filled by the model, lit and in the model's own colours; nothing
// written but OUTPUT, and nothing at all when the file is not a model; a picture the model names
// outside its folder never opened; a large model drawn reduced, and the time limit kept.
#include <gtest/gtest.h>
#include <linux/landlock.h>  // whether the kernel can confine the reader
#include <sys/inotify.h>
#include <sys/stat.h>     // mkfifo
#include <sys/syscall.h>  // landlock_create_ruleset
#include <unistd.h>

#include <algorithm>  // max
#include <cmath>
#include <cstdint>
#include <cstdio>  // printf
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/golden.h"
#include "tests/support/model_table.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"
#include "tools/image/png_file.h"

namespace {

namespace fs = std::filesystem;

// The names in `folder`, sorted.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

long Lines(const std::string& text) {
    return static_cast<long>(std::count(text.begin(), text.end(), '\n'));
}

// A binary PLY of a wavy grid of `side` x `side` quads: 2 side^2 faces.
std::string GridPly(int side) {
    const int n = side + 1;
    std::string ply =
        "ply\nformat binary_little_endian 1.0\nelement vertex " + std::to_string(n * n) +
        "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
        std::to_string(2 * side * side) + "\nproperty list uchar int vertex_indices\nend_header\n";
    const auto add = [&ply](const void* bytes, size_t size) {
        ply.append(static_cast<const char*>(bytes), size);
    };
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const float p[3] = {static_cast<float>(i) / side, static_cast<float>(j) / side,
                                0.05f * std::sin(i * 0.05f) * std::cos(j * 0.07f)};
            add(p, sizeof(p));
        }
    }
    for (int j = 0; j < side; ++j) {
        for (int i = 0; i < side; ++i) {
            const int a = j * n + i;
            const int faces[2][3] = {{a, a + 1, a + n + 1}, {a, a + n + 1, a + n}};
            for (const auto& face : faces) {
                const uint8_t three = 3;
                add(&three, 1);
                add(face, sizeof(face));
            }
        }
    }
    return ply;
}

}  // namespace

// Catches a thumbnail of another size than asked, a model that fills little of it or touches its
// edge, a background that is not transparent, a model drawn flat or in other colours than the
// viewer shows it in (quorvane-shot's first frame of the same import), and a format or picture
// source that a thumbnail loses though the importer keeps it.
TEST(Thumbnails, EveryModelOfTheTableLitInItsColours) {
    ASSERT_TRUE(fs::is_directory(kModels)) << "install assimp-testmodels";
    TempDir dir;
    const std::string log = dir / "log";
    for (const ModelCase& model : ModelTable()) {
        SCOPED_TRACE(model.file);
        const std::string file = kModels + model.file;
        const std::string scene = dir / "scene";
        fs::remove_all(scene);
        ASSERT_EQ(RunTool("quorvane-import", "'" + file + "' " + scene, dir.path(), log), 0)
            << ReadWholeFile(log);
        ASSERT_EQ(RunTool(kShotTool, "data/demo.scn '" + Rendered("shot") + "' --size 320x240",
                          scene, log),
                  0)
            << ReadWholeFile(log);
        const Coverage shot = Measure(LoadPng(Rendered("shot")), Background::ClearColour);
        for (int size : {128, 256}) {
            // File managers name the file by its URI; people by its path.
            const std::string input = size == 128 ? "file://" + file : file;
            const std::string name = "thumbnail" + std::to_string(size);
            ASSERT_EQ(
                RunTool(kThumbnailerTool,
                        "-s " + std::to_string(size) + " '" + input + "' '" + Rendered(name) + "'",
                        dir.path(), log),
                0)
                << ReadWholeFile(log);
            EXPECT_EQ(ReadWholeFile(log), "");
            const Image thumbnail = LoadPng(Rendered(name));
            EXPECT_EQ(std::max(thumbnail.width, thumbnail.height), size);
            EXPECT_TRUE(thumbnail.alpha);
            EXPECT_EQ(thumbnail.rgba[3], 0) << "the corner should be transparent";
            const Coverage seen = Measure(thumbnail, Background::Transparent);
            EXPECT_GT(seen.share, 0.15) << "the model should fill the thumbnail";
            EXPECT_FALSE(seen.onEdge);
            // A picture outside the model's folder is left out of a thumbnail (see below).
            if (!model.pictureElsewhere) {
                EXPECT_NEAR(seen.mean.r, shot.mean.r, 12.0);
                EXPECT_NEAR(seen.mean.g, shot.mean.g, 12.0);
                EXPECT_NEAR(seen.mean.b, shot.mean.b, 12.0);
            }
            if (model.textured && !model.pictureElsewhere) {
                EXPECT_GT(seen.colours, 16u) << "a texture should show";
            } else {
                EXPECT_GT(FormShown(thumbnail, Background::Transparent), 0.25)
                    << "the model's form should show";
            }
            if (size == 256) {
                std::printf(
                    "thumbnail of %s: %d x %d, %.0f%% covered, mean colour %.0f %.0f %.0f "
                    "(first frame %.0f %.0f %.0f)\n",
                    model.file, thumbnail.width, thumbnail.height, 100 * seen.share, seen.mean.r,
                    seen.mean.g, seen.mean.b, shot.mean.r, shot.mean.g, shot.mean.b);
            }
        }
    }
}

// Catches a file that is not a model (or crashes the reader) ending with status 0, more than one
// line said, a thumbnail or a temporary file written for it, an earlier thumbnail overwritten by a
// failed run, and a hang on a pipe.
TEST(Thumbnails, NoModelNothingWritten) {
    TempDir dir;
    fs::create_directories(dir / "out");
    fs::create_directories(dir / "folder.stl");
    ASSERT_EQ(mkfifo((dir / "pipe.stl").c_str(), 0600), 0);
    dir.Write("empty.stl", "");
    dir.Write("words.obj", "this is not a model\n");
    const std::string earlier = dir.Write("out/earlier.png", "an earlier thumbnail");
    const std::string log = dir / "log";
    for (const std::string& input :
         {dir / "missing.stl", dir / "folder.stl", dir / "pipe.stl", dir / "empty.stl",
          dir / "words.obj",
          std::string(QUORVANE_SOURCE_DIR) + "/tests/reader_crashes/mdl7-segfault.mdl",
          "sftp://elsewhere" + dir / "words.obj", "file://elsewhere" + dir / "words.obj",
          std::string("file://") + dir / "missing%2"}) {
        SCOPED_TRACE(input);
        for (const std::string& output : {dir / "out/new.png", earlier}) {
            EXPECT_EQ(
                RunTool(kThumbnailerTool, "'" + input + "' '" + output + "'", dir.path(), log), 1);
            const std::string said = ReadWholeFile(log);
            EXPECT_EQ(Lines(said), 1) << said;
            EXPECT_EQ(said.rfind("quorvane-thumbnailer: " + input + ": ", 0), 0u) << said;
            EXPECT_EQ(Names(dir / "out"), std::vector<std::string>{"earlier.png"});
            EXPECT_EQ(ReadWholeFile(earlier), "an earlier thumbnail");
        }
    }
    for (const char* usage : {"-s 8 a.stl out/x.png", "-s 4096 a.stl out/x.png",
                              "-s x a.stl out/x.png", "--time-limit 0 a.stl out/x.png", "a.stl"}) {
        EXPECT_EQ(RunTool(kThumbnailerTool, usage, dir.path(), log), 2) << usage;
    }
    EXPECT_EQ(Names(dir / "out"), std::vector<std::string>{"earlier.png"});
}

// Catches a thumbnailer that reads a picture outside the model's folder (a downloaded archive's
// model may name any file of the user's), that refuses the model for it instead of drawing its
// colour, and writes anything but OUTPUT: no cache, no file in the working directory or home.
// The importer, which reads pictures the user chose to import, shows that the watch sees an open.
TEST(Thumbnails, ReadsOnlyTheModelsFolderWritesOnlyOutput) {
    TempDir dir;
    for (const char* folder : {"model", "outside", "home", "work", "out"}) {
        fs::create_directories(dir / folder);
    }
    Image red = MakeImage(8, 8, false);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) SetPixel(red, x, y, Rgb{255, 0, 0});
    }
    std::string error;
    const std::string picture = dir / "outside/red.png";
    ASSERT_TRUE(WritePng(red, picture, error)) << error;
    const std::string model =
        dir.Write("model/m.obj",
                  "mtllib m.mtl\nusemtl skin\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\n"
                  "vt 0 1\nf 1/1 2/2 3/3\n");
    dir.Write("model/m.mtl", "newmtl skin\nKd 0.2 0.4 0.9\nmap_Kd ../outside/red.png\n");

    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, picture.c_str(), IN_OPEN | IN_ACCESS), 0);
    const auto opened = [watch] {
        char events[4096];
        return read(watch, events, sizeof(events)) > 0;
    };
    const std::string log = dir / "log";
    const std::string environment =
        "HOME='" + dir / "home" + "' XDG_CACHE_HOME='" + dir / "home/.cache" + "'";
    ASSERT_EQ(RunTool(kThumbnailerTool, "-s 128 '" + model + "' '" + dir / "out/m.png" + "'",
                      dir / "work", log, environment),
              0)
        << ReadWholeFile(log);
    EXPECT_EQ(Names(dir / "out"), std::vector<std::string>{"m.png"});
    EXPECT_TRUE(Names(dir / "home").empty());
    EXPECT_TRUE(Names(dir / "work").empty());
    const Coverage seen = Measure(LoadPng(dir / "out/m.png"), Background::Transparent);
    EXPECT_GT(seen.mean.b, seen.mean.r) << "the material's blue, not the picture's red";
    const bool confined = !opened();

    ASSERT_EQ(
        RunTool("quorvane-import", "'" + model + "' '" + dir / "imported" + "'", dir.path(), log),
        0)
        << ReadWholeFile(log);
    ASSERT_TRUE(opened()) << "the importer reads the picture, and the watch should see it";
    if (!confined &&
        syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION) < 1) {
        GTEST_SKIP() << "this kernel offers no Landlock: the picture outside was read";
    }
    EXPECT_TRUE(confined) << "the thumbnailer opened a picture outside the model's folder";
    close(watch);
}

// Catches a large model refused, or drawn whole at a cost that grows with its faces, instead of
// reduced, a reduction that loses the model's outline, and a time limit that is not kept (or
// leaves a file behind).
TEST(Thumbnails, LargeModelsReducedTimeLimitKept) {
    TempDir dir;
    const std::string grid = dir.Write("grid.ply", GridPly(400));  // 320,000 faces
    const std::string log = dir / "log";
    fs::create_directories(dir / "out");
    ASSERT_EQ(RunTool(kThumbnailerTool, "-s 128 '" + grid + "' out/grid.png", dir.path(), log), 0)
        << ReadWholeFile(log);
    const Coverage seen = Measure(LoadPng(dir / "out/grid.png"), Background::Transparent);
    EXPECT_GT(seen.share, 0.3);
    EXPECT_GT(seen.colours, 4u);

    EXPECT_EQ(
        RunTool(kThumbnailerTool, "--time-limit 0.01 '" + grid + "' out/late.png", dir.path(), log),
        1);
    EXPECT_NE(ReadWholeFile(log).find("did not finish within 0.01 s"), std::string::npos)
        << ReadWholeFile(log);
    EXPECT_EQ(Lines(ReadWholeFile(log)), 1);
    EXPECT_EQ(Names(dir / "out"), std::vector<std::string>{"grid.png"});
}
