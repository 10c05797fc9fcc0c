// Guards the shipped demo: that data/ is exactly what the generator writes, and that the
// viewer's own readers take every file of it as the world it is meant to be.
#include <gtest/gtest.h>

#include <cmath>   // abs
#include <cstdio>  // popen, for the generator's report
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "scene/camera.h"
#include "scene/scene_object.h"
#include "scene/text_file.h"
#include "scene/token_reader.h"
#include "tests/unit/message_box_recorder.h"
#include "tests/unit/temp_dir.h"

namespace {

const std::string kSourceDir = QUORVANE_SOURCE_DIR;

// Runs the generator with output root `root`; its report as name -> number, empty on failure.
std::map<std::string, long> RunGenerator(const std::string& root) {
    const std::string command =
        std::string(QUORVANE_BINARY_DIR) + "/quorvane-make-demo '" + root + "'";
    std::map<std::string, long> totals;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return totals;
    char line[256];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        const std::string text = line;
        const size_t space = text.rfind(' ');
        if (space != std::string::npos)
            totals[text.substr(0, space)] = std::stol(text.substr(space));
    }
    if (pclose(pipe) != 0) totals.clear();
    return totals;
}

// Every file under root/data, as a path relative to root. The viewer's report is no part of
// the demo: it appears there whenever the viewer has run.
std::set<std::string> DemoFiles(const std::string& root) {
    std::set<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root + "/data", error)) {
        const std::string name = std::filesystem::relative(entry.path(), root).generic_string();
        if (entry.is_regular_file() && name != "data/report.log") files.insert(name);
    }
    return files;
}

struct PlacedObject {
    std::string file;
    float scale;
};

// What the scene file lists, read with the viewer's token reader.
struct SceneListing {
    std::vector<PlacedObject> objects;
    std::vector<std::string> textures;
    std::string camera;
    bool complete = false;
};

SceneListing ReadSceneListing(const std::string& path) {
    SceneListing listing;
    TextFile file;
    if (!OpenTextFile(path.c_str(), file)) return listing;
    TokenReader reader = MakeTokenReader(file.data, file.size);
    int32_t objectCount = 0, textureCount = 0;
    char name[kMaxNameLength + 1];
    bool ok = ReadInt(reader, objectCount) && ReadInt(reader, textureCount);
    for (int32_t i = 0; ok && i < objectCount; ++i) {
        float position[3], scale = 0;
        ok = ReadName(reader, name) && ReadFloat(reader, position[0]) &&
             ReadFloat(reader, position[1]) && ReadFloat(reader, position[2]) &&
             ReadFloat(reader, scale);
        listing.objects.push_back(PlacedObject{name, scale});
    }
    for (int32_t i = 0; ok && i < textureCount; ++i) {
        ok = ReadName(reader, name);
        listing.textures.push_back(name);
    }
    ok = ok && ReadName(reader, name);
    listing.camera = name;
    char extra[kMaxNameLength + 1];
    listing.complete = ok && !ReadName(reader, extra) && reader.error == TokenError::Missing;
    CloseTextFile(file);
    return listing;
}

}  // namespace

// Catches a committed demo that is stale or hand-edited, or a generator whose output depends on
// the time, the machine or the order of a hash table.
TEST(Demo, CommittedDataIsExactlyWhatTheGeneratorWrites) {
    TempDir dir;
    ASSERT_FALSE(RunGenerator(dir.path()).empty()) << "the generator failed";
    const std::set<std::string> generated = DemoFiles(dir.path());
    ASSERT_EQ(generated, DemoFiles(kSourceDir));
    for (const std::string& name : generated) {
        // Compared whole but not printed: a texture would flood the log.
        EXPECT_TRUE(ReadWholeFile(dir / name) == ReadWholeFile(kSourceDir + "/" + name)) << name;
    }
}

// Catches an object file the reader refuses (a box at start-up), a face naming a texture the
// scene does not load (never drawn), and totals that differ from what the generator reports.
TEST(Demo, EveryObjectLoadsAndTheTotalsMatchTheGenerator) {
    TempDir dir;
    std::map<std::string, long> reported = RunGenerator(dir.path());
    const SceneListing scene = ReadSceneListing(kSourceDir + "/data/demo.scn");
    ASSERT_TRUE(scene.complete) << "data/demo.scn is not a complete scene file";

    long vertices = 0, faces = 0, hiddenFaces = 0;
    std::set<int32_t> texturesUsed;
    std::map<std::string, std::set<float>> scalesOf;
    for (const PlacedObject& placed : scene.objects) {
        EXPECT_EQ(placed.file.rfind("data/", 0), 0u) << placed.file << " is not under data/";
        SceneObject object;
        ASSERT_FALSE(object.LoadObject((kSourceDir + "/" + placed.file).c_str())) << placed.file;
        vertices += object.vertexCount;
        faces += object.faceCount;
        if (object.hidden != 0) hiddenFaces += object.faceCount;
        for (int32_t i = 0; i < object.faceCount; ++i) {
            const int32_t texture = object.faces[i].texture;
            EXPECT_TRUE(texture >= 0 && texture < static_cast<int32_t>(scene.textures.size()))
                << placed.file << " face " << i << " names texture " << texture;
            texturesUsed.insert(texture);
        }
        scalesOf[placed.file].insert(placed.scale);
        object.FreeObject();
    }
    EXPECT_TRUE(RecordedBoxes().empty());
    EXPECT_EQ(texturesUsed.size(), scene.textures.size()) << "a texture no face uses";

    EXPECT_EQ(reported["objects"], static_cast<long>(scene.objects.size()));
    EXPECT_EQ(reported["textures"], static_cast<long>(scene.textures.size()));
    EXPECT_EQ(reported["vertices"], vertices);
    EXPECT_EQ(reported["faces"], faces);
    EXPECT_EQ(reported["hidden faces"], hiddenFaces);

    // A little world rather than a test triangle, yet light enough for a software renderer.
    EXPECT_GE(scene.objects.size(), 12u);
    EXPECT_GE(scene.textures.size(), 6u);
    EXPECT_TRUE(faces >= 5000 && faces <= 30000) << faces << " faces";
    EXPECT_GT(hiddenFaces, 0);
    size_t reusedAtSeveralScales = 0;
    for (const auto& entry : scalesOf) reusedAtSeveralScales += entry.second.size() > 1 ? 1 : 0;
    EXPECT_GE(reusedAtSeveralScales, 2u);
}

// Catches a texture the viewer's TGA reader would refuse: a header other than uncompressed
// true-colour, a depth other than 24 or 32, pixel data cut short, or a size GL 1.1 cannot take.
TEST(Demo, TexturesAreInTheAcceptedLayout) {
    const SceneListing scene = ReadSceneListing(kSourceDir + "/data/demo.scn");
    ASSERT_FALSE(scene.textures.empty());
    const std::string kFixed("\0\0\2\0\0\0\0\0\0\0\0\0", 12);
    int withAlpha = 0;
    for (const std::string& name : scene.textures) {
        const std::string data = ReadWholeFile(kSourceDir + "/" + name);
        ASSERT_GE(data.size(), 18u) << name;
        EXPECT_EQ(data.substr(0, 12), kFixed) << name;
        const auto byte = [&data](size_t i) { return static_cast<uint8_t>(data[i]); };
        const uint32_t width = byte(12) | byte(13) << 8, height = byte(14) | byte(15) << 8;
        const uint32_t depth = byte(16);
        EXPECT_TRUE(depth == 24 || depth == 32) << name;
        EXPECT_EQ(data.size(), 18 + width * height * (depth / 8)) << name;
        for (uint32_t side : {width, height}) {
            EXPECT_TRUE(side >= 64 && side <= 256 && (side & (side - 1)) == 0) << name;
        }
        withAlpha += depth == 32 ? 1 : 0;
    }
    EXPECT_GE(withAlpha, 1);
    EXPECT_LT(withAlpha * 2, static_cast<int>(scene.textures.size())) << "mostly 24-bit";
}

// Catches a start position outside the courtyard or off eye height, and a yaw that jumps on the
// first frame (the controls copy heading into yaw).
TEST(Demo, CameraStartsAtEyeHeightInsideTheCourtyard) {
    const SceneListing scene = ReadSceneListing(kSourceDir + "/data/demo.scn");
    Camera camera;
    ASSERT_EQ(camera.LoadCamera((kSourceDir + "/" + scene.camera).c_str()), 0);
    EXPECT_TRUE(RecordedBoxes().empty());
    EXPECT_NEAR(camera.y, 1.7f, 0.2f);
    EXPECT_LT(std::abs(camera.x), 14.0f);
    EXPECT_LT(std::abs(camera.z), 14.0f);
    EXPECT_EQ(camera.yaw, camera.heading);
}
