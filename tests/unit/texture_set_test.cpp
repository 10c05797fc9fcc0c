// Guards the TGA reader and the texture set through GL itself: what GL holds after a load (pixels,
// internal format, filters, names), and that every refused kind of file creates no texture,
// leaves its slot alone and closes the file.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "render/texture_set.h"
#include "render/tga.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tga_bytes.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Tga(int width, int height, int depth, const Bytes& pixels, int descriptor = 0) {
    const std::string file =
        TgaBytes(width, height, depth, std::string(pixels.begin(), pixels.end()), descriptor);
    return Bytes(file.begin(), file.end());
}

int OpenDescriptors() {
    const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return static_cast<int>(std::distance(begin(entries), end(entries)));
}

// The image of the bound texture, tightly packed.
Bytes TexImage(GLenum format, size_t bytes) {
    Bytes pixels(bytes);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// The name glGenTextures hands out next: 1 in a fresh context where no name was generated yet.
GLuint NextTextureName() {
    GLuint name = 0;
    glGenTextures(1, &name);
    glDeleteTextures(1, &name);
    return name;
}

class TextureSetTest : public GLTest {
  protected:
    std::string Write(const std::string& name, const Bytes& bytes) {
        return dir.Write(name, std::string(bytes.begin(), bytes.end()));
    }
    void TearDown() override {
        DeleteTextures(set);
        set.AllocateTextures(0);
        GLTest::TearDown();
    }
    TempDir dir;
    TextureSet set;
};

}  // namespace

// Catches a missing or wrong colour swap, an alpha byte moved by it, rows flipped, skewed by GL's
// unpack alignment (a 3-pixel 24-bit row is 9 bytes) or reordered by the descriptor byte, the
// wrong internal format or size, filters that need mipmaps the loader never makes, and a load
// that writes another index's slot or shares a name with another load.
TEST_F(TextureSetTest, LoadsTrueColourFilesThroughGl) {
    const Bytes rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    const Bytes swapped = {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18, 17, 16};
    const struct {
        Bytes file;
        GLenum format;
        GLint width;
        Bytes expected;
    } cases[] = {
        {Tga(2, 1, 24, {1, 2, 3, 4, 5, 6}), GL_RGB, 2, {3, 2, 1, 6, 5, 4}},
        {Tga(2, 1, 32, {1, 2, 3, 4, 5, 6, 7, 8}), GL_RGBA, 2, {3, 2, 1, 4, 7, 6, 5, 8}},
        {Tga(3, 2, 24, rows, 0x20), GL_RGB, 3, swapped},
    };
    set.AllocateTextures(4);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(LoadTexture(set, Write(std::to_string(i), cases[i].file).c_str(), i + 1)) << i;
    }
    EXPECT_EQ(set.names[0], 0u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        BindTexture(set, i + 1);
        for (GLenum filter : {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER}) {
            GLint value = 0;
            glGetTexParameteriv(GL_TEXTURE_2D, filter, &value);
            EXPECT_EQ(value, GL_LINEAR);
        }
        GLint format = 0, width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_EQ(format, GLint(cases[i].format));
        EXPECT_EQ(width, cases[i].width);
        EXPECT_EQ(TexImage(cases[i].format, cases[i].expected.size()), cases[i].expected);
    }
}

// Catches a refused file that still creates a texture, writes its slot or stays open; an index
// outside the name array written anyway; and a decoder for the tools that names another reason.
TEST_F(TextureSetTest, RefusedFilesCreateNoTextureAndLeaveTheirSlot) {
    const Bytes good = Tga(2, 2, 24, Bytes(12, 7));
    const auto with = [&good](size_t at, uint8_t value) {
        Bytes file = good;
        file[at] = value;
        return file;
    };
    const auto cut = [&good](size_t size) { return Bytes(good.begin(), good.begin() + size); };
    const struct {
        const char* what;
        Bytes file;
        TgaError reason;
    } cases[] = {
        {"image ID", with(0, 4), TgaError::ImageId},
        {"colour map", with(1, 1), TgaError::ColourMapped},
        {"colour-map fields", with(7, 24), TgaError::ColourMapped},
        {"run-length type 10", with(2, 10), TgaError::Compressed},
        {"run-length type 11", with(2, 11), TgaError::Compressed},
        {"grey type 3", with(2, 3), TgaError::Grey},
        {"x origin", with(8, 1), TgaError::NonZeroOrigin},
        {"8-bit depth", with(16, 8), TgaError::UnsupportedDepth},
        {"16-bit depth", with(16, 16), TgaError::UnsupportedDepth},
        {"17 bytes", cut(17), TgaError::TruncatedHeader},
        {"header only", cut(18), TgaError::TruncatedPixels},
        {"one pixel byte short", cut(good.size() - 1), TgaError::TruncatedPixels},
        {"65535 x 65535 x 3 bytes", Tga(65535, 65535, 24, Bytes(64, 7)), TgaError::TooLarge},
        {"exactly 4 GiB", Tga(32768, 32768, 32, Bytes(64, 7)), TgaError::TooLarge},
        {"zero width", Tga(0, 5, 24, Bytes(64, 7)), TgaError::Empty},
    };
    set.AllocateTextures(2);
    set.names[1] = 777;
    const int descriptors = OpenDescriptors();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TgaImage image;
        EXPECT_EQ(DecodeTga(c.file.data(), c.file.size(), image), c.reason);
        EXPECT_EQ(image.pixels, nullptr);
        EXPECT_FALSE(LoadTexture(set, Write("bad.tga", c.file).c_str(), 1));
    }
    EXPECT_FALSE(LoadTexture(set, (dir / "missing.tga").c_str(), 1));
    EXPECT_FALSE(LoadTexture(set, dir.path().c_str(), 1)) << "a directory is not a texture";
    const std::string path = Write("good.tga", good);
    EXPECT_FALSE(LoadTexture(set, path.c_str(), 2));
    EXPECT_FALSE(LoadTexture(set, path.c_str(), -1));
    TextureSet empty;
    EXPECT_FALSE(LoadTexture(empty, path.c_str(), 0)) << "no name array";
    EXPECT_EQ(OpenDescriptors(), descriptors) << "a refused file was left open";
    EXPECT_EQ(set.names[1], 777u);
    EXPECT_EQ(NextTextureName(), 1u) << "a refused file generated a texture name";
}

// Catches pictures in memory (the thumbnailer's) stored with alpha they do not have or without
// alpha they have, their RGBA texels read as RGB, and an index outside the name array written.
TEST_F(TextureSetTest, PicturesInMemoryKeepTheirTexelsAndAlpha) {
    const Bytes rgba = {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255};  // one row of three
    set.AllocateTextures(2);
    ASSERT_TRUE(CreateTexture(set, 0, 3, 1, 4, false, rgba.data()));
    ASSERT_TRUE(CreateTexture(set, 1, 3, 1, 4, true, rgba.data()));
    EXPECT_FALSE(CreateTexture(set, 2, 3, 1, 4, true, rgba.data()));
    for (int32_t i = 0; i < 2; ++i) {
        BindTexture(set, i);
        GLint format = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        EXPECT_EQ(format, i == 0 ? GL_RGB : GL_RGBA);
        EXPECT_EQ(TexImage(GL_RGB, 9), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    }
}
