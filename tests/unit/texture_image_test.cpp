// Guards how the importer makes pictures into textures OpenGL 1.1 and the viewer's TGA reader
// take.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>  // pair
#include <vector>

#include "model/read/texture_image.h"

// Catches sides that are not powers of two (GL 1.1 refuses them), a picture stretched to far more
// or fewer texels than it had, and no cap on the side.
TEST(TextureImage, SidesArePowersOfTwoNearestTheOriginal) {
    const std::vector<std::pair<int, int>> cases = {
        {1, 1},     {2, 2},       {3, 4},
        {5, 4},     {6, 8},       {300, 256},
        {400, 512}, {1000, 1024}, {5000, kMaxTextureSide}};
    for (const auto& [side, expected] : cases) EXPECT_EQ(TextureSide(side), expected) << side;
}

// Catches a texture upside down (the viewer wants the bottom row first), a resize that mixes up
// rows and columns, and alpha kept or dropped wrongly.
TEST(TextureImage, RowsTurnBottomFirstAndAlphaOnlyWhereUsed) {
    // Two rows of two: red and green on top, blue and white below.
    std::vector<uint8_t> rgba = {255, 0, 0,   255, 0,   255, 0,   255,
                                 0,   0, 255, 255, 255, 255, 255, 255};
    const Image texture = MakeTexture(2, 2, rgba.data());
    EXPECT_EQ(std::vector<uint8_t>(texture.rgba.begin(), texture.rgba.begin() + 3),
              (std::vector<uint8_t>{0, 0, 255}));
    EXPECT_FALSE(texture.alpha);
    rgba[7] = 128;
    const Image column = MakeTexture(1, 4, rgba.data());
    EXPECT_EQ(std::make_pair(column.width, column.height), std::make_pair(1, 4));
    EXPECT_EQ(column.rgba[3 * 4 + 3], 255);  // the top row, first in the picture, is opaque red
    EXPECT_EQ(column.rgba[2 * 4 + 3], 128);
    EXPECT_TRUE(column.alpha);
}

// Catches a halved picture that takes one pixel of four instead of their mean, mixes up rows and
// columns, or loses a side of 1 (a 4 x 1 picture halves to 2 x 1).
TEST(TextureImage, HalvedPicturesAverageTheirPixels) {
    Image picture = MakeImage(4, 2, true);
    for (int x = 0; x < 4; ++x) {
        SetPixel(picture, x, 0, Rgb{x * 40.0, 0, 0}, 255);
        SetPixel(picture, x, 1, Rgb{0, x * 40.0, 200}, 100);
    }
    const Image half = HalfSize(picture);
    EXPECT_EQ(std::make_pair(half.width, half.height), std::make_pair(2, 1));
    EXPECT_EQ(std::vector<uint8_t>(half.rgba.begin(), half.rgba.begin() + 8),
              (std::vector<uint8_t>{10, 10, 100, 178, 50, 50, 100, 178}));
    const Image row = HalfSize(HalfSize(picture));
    EXPECT_EQ(std::make_pair(row.width, row.height), std::make_pair(1, 1));
}
