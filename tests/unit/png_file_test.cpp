// Guards the PNG files of the tools: pixels and orientation kept through a write and a read, and
// damaged or hostile files refused with a reason instead of a crash or a huge allocation. (A
// picture that cannot be written is the tool's test.)
#include <gtest/gtest.h>
#include <png.h>   // the reference reader that the orientation check compares against
#include <zlib.h>  // crc32, to forge a header that passes libpng's checksum

#include <string>

#include "tests/unit/temp_dir.h"
#include "tools/png/png_file.h"

namespace {

// Rows from the bottom: red, green, blue; the columns darken from left to right.
Image Stripes(bool alpha) {
    Image image = MakeImage(5, 3, alpha);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const double level = 255.0 - 40.0 * x;
            SetPixel(image, x, y,
                     Rgb{y == 0 ? level : 0.0, y == 1 ? level : 0.0, y == 2 ? level : 0.0},
                     alpha ? 50.0 * x : 255.0);
        }
    }
    return image;
}

// A valid 1 x 1 PNG whose header then claims `width` x `height`, with a correct checksum.
std::string ForgedHeader(const TempDir& dir, uint32_t width, uint32_t height) {
    std::string error;
    EXPECT_TRUE(WritePng(MakeImage(1, 1, false), dir / "one.png", error)) << error;
    std::string file = ReadWholeFile(dir / "one.png");
    // Signature (8), IHDR length (4) and type (4), then width and height, big-endian.
    for (int i = 0; i < 4; ++i) {
        file[16 + i] = static_cast<char>(width >> (24 - 8 * i));
        file[20 + i] = static_cast<char>(height >> (24 - 8 * i));
    }
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(file.data() + 12), 17);
    for (int i = 0; i < 4; ++i) file[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    return dir.Write("forged.png", file);
}

}  // namespace

// Catches lost pixels or alpha, and a file whose first row is not the top of the picture.
TEST(PngFile, RoundTripKeepsPixelsAndPutsTheTopRowFirst) {
    TempDir dir;
    for (bool alpha : {false, true}) {
        const Image image = Stripes(alpha);
        const std::string path = dir / (alpha ? "rgba.png" : "rgb.png");
        std::string error;
        ASSERT_TRUE(WritePng(image, path, error)) << error;
        Image read;
        ASSERT_TRUE(ReadPng(path, read, error)) << error;
        EXPECT_EQ(read.width, 5);
        EXPECT_EQ(read.height, 3);
        EXPECT_EQ(read.alpha, alpha);
        EXPECT_EQ(read.rgba, image.rgba);

        png_image png = {};
        png.version = PNG_IMAGE_VERSION;
        ASSERT_NE(png_image_begin_read_from_file(&png, path.c_str()), 0);
        png.format = PNG_FORMAT_RGBA;
        std::string top(PNG_IMAGE_SIZE(png), '\0');
        ASSERT_NE(png_image_finish_read(&png, nullptr, top.data(), 0, nullptr), 0);
        EXPECT_EQ(static_cast<uint8_t>(top[2]), 255) << "first row of the file is not blue";
        EXPECT_EQ(static_cast<uint8_t>(top[0]), 0);
    }
}

// Catches a crash, a hang or a silent success on files that are not whole PNGs.
TEST(PngFile, DamagedFilesAreRefusedWithAReason) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(WritePng(Stripes(false), dir / "good.png", error)) << error;
    const std::string good = ReadWholeFile(dir / "good.png");
    const std::string cases[] = {
        dir / "missing.png",
        dir.Write("text.png", "not a picture at all\n"),
        dir.Write("empty.png", ""),
        dir.Write("signature.png", good.substr(0, 8)),
        dir.Write("cut.png", good.substr(0, good.size() - 20)),
        ForgedHeader(dir, 100000, 100000),
        ForgedHeader(dir, 0, 4),
    };
    for (const std::string& path : cases) {
        Image image;
        error.clear();
        EXPECT_FALSE(ReadPng(path, image, error)) << path;
        EXPECT_FALSE(error.empty()) << path;
        EXPECT_TRUE(image.rgba.empty()) << path;
    }
}
