#include "tests/support/golden.h"

#include <gtest/gtest.h>

#include <cstdlib>  // getenv, abs
#include <filesystem>
#include <vector>

#include "tools/image/png_file.h"

namespace fs = std::filesystem;

Image LoadPng(const std::string& path) {
    Image image;
    std::string error;
    EXPECT_TRUE(ReadPng(path, image, error)) << path << ": " << error;
    return image;
}

std::string Rendered(const std::string& name) {
    const std::string folder = std::string(QUORVANE_BINARY_DIR) + "/golden-rendered";
    fs::create_directories(folder);
    return folder + "/" + name + ".png";
}

void ExpectMatchesGolden(const std::string& name) {
    const std::string golden = std::string(QUORVANE_SOURCE_DIR) + "/tests/golden/" + name + ".png";
    const char* update = std::getenv("QUORVANE_UPDATE_GOLDENS");
    if (update != nullptr && std::string(update) == "1") {
        fs::copy_file(Rendered(name), golden, fs::copy_options::overwrite_existing);
        return;
    }
    const Image expected = LoadPng(golden), actual = LoadPng(Rendered(name));
    ASSERT_EQ(actual.width, expected.width) << name;
    ASSERT_EQ(actual.height, expected.height) << name;
    const std::vector<uint8_t>&e = expected.rgba, &a = actual.rgba;
    long outliers = 0;
    for (size_t i = 0; i < e.size(); i += 4) {
        bool off = false;
        for (size_t c = i; c < i + 3; ++c) off = off || std::abs(e[c] - a[c]) > kChannelTolerance;
        outliers += off ? 1 : 0;
    }
    EXPECT_LE(outliers, static_cast<long>(expected.width) * expected.height / kPixelsPerOutlier)
        << name << ": pixels off by more than " << kChannelTolerance << "; see " << Rendered(name);
}
