// Guards how the importer finds the picture a material names: models carry paths as they were on
// their author's machine, with Windows separators, other letter case and folders beside the
// model's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/read/material_texture.h"
#include "tests/support/temp_dir.h"

namespace {

// The file found, named as the test named it (the finder may name it through "..").
std::string Found(const std::string& reference, const std::string& modelDirectory) {
    const std::string found = FindPictureFile(reference, modelDirectory);
    std::error_code error;
    return found.empty() ? "" : std::filesystem::canonical(found, error).string();
}

}  // namespace

// Catches a relative path not followed from the model's folder (climbing out of it, either
// separator, any letter case), the search by bare name taking precedence over the path as
// written, a folder taken for a picture, and a path on another machine found where it is not.
TEST(PictureFile, FoundAsWrittenThenByName) {
    TempDir dir;
    std::filesystem::create_directories(dir / "models/Collada");
    std::filesystem::create_directories(dir / "models/LWO/Maps/earth.png");  // a folder
    const std::string earth =
        std::filesystem::canonical(dir.Write("models/LWO/Maps/earth.JPG", "")).string();
    const std::string beside =
        std::filesystem::canonical(dir.Write("models/Collada/Earth.jpg", "")).string();
    const std::string model = dir / "models/Collada";

    EXPECT_EQ(Found("\\..\\lwo\\MAPS\\Earth.jpg", model), earth);
    EXPECT_EQ(Found("../LWO/Maps/earth.JPG", model), earth);
    EXPECT_EQ(Found(".\\..\\LWO\\.\\Maps\\earth.jpg", model), earth);
    EXPECT_EQ(Found(earth, "/nowhere"), earth) << "an absolute path as written";
    EXPECT_EQ(Found("C:\\Users\\author\\textures\\EARTH.JPG", model), beside);
    EXPECT_EQ(Found("../LWO/Maps/earth.png", model), "") << "a folder, not a picture";
    EXPECT_EQ(Found("../LWO/Maps/moon.jpg", model), "");
    EXPECT_EQ(Found("", model), "");
}
