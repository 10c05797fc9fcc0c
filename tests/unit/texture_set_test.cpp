// Guards the TGA reader and the texture set through GL itself: what GL holds after a load (pixels,
// internal format, filters, names), what is drawn with it, and that every refused kind of file
// creates no texture, leaves its slot alone and closes the file.
#include <SDL.h>
#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "render/texture_set.h"
#include "render/tga.h"
#include "tests/unit/gl_fixture.h"
#include "tests/unit/temp_dir.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Header {
    uint8_t idLength = 0;
    uint8_t colourMapType = 0;
    uint8_t imageType = 2;
    uint8_t colourMapSpec[5] = {0, 0, 0, 0, 0};
    uint16_t xOrigin = 0;
    uint16_t yOrigin = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t depth = 24;
    uint8_t descriptor = 0;
};

Bytes HeaderBytes(const Header& h) {
    Bytes b(18);
    b[0] = h.idLength;
    b[1] = h.colourMapType;
    b[2] = h.imageType;
    for (int i = 0; i < 5; ++i) b[3 + i] = h.colourMapSpec[i];
    const uint16_t words[4] = {h.xOrigin, h.yOrigin, h.width, h.height};
    for (int i = 0; i < 4; ++i) {
        b[8 + 2 * i] = static_cast<uint8_t>(words[i] & 0xFF);
        b[9 + 2 * i] = static_cast<uint8_t>(words[i] >> 8);
    }
    b[16] = h.depth;
    b[17] = h.descriptor;
    return b;
}

// An accepted file: header, then the pixel bytes as given (B G R (A) per pixel).
Bytes Tga(uint16_t width, uint16_t height, uint8_t depth, const Bytes& pixels,
          uint8_t descriptor = 0) {
    Header h;
    h.width = width;
    h.height = height;
    h.depth = depth;
    h.descriptor = descriptor;
    Bytes b = HeaderBytes(h);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

// Pixel bytes 0, 1, 2, ... for a whole image.
Bytes Counting(size_t count, uint8_t first = 1) {
    Bytes b(count);
    for (size_t i = 0; i < count; ++i) b[i] = static_cast<uint8_t>(first + i);
    return b;
}

std::string Write(const TempDir& dir, const std::string& name, const Bytes& bytes) {
    return dir.Write(name, std::string(bytes.begin(), bytes.end()));
}

int OpenDescriptors() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++count;
    }
    return count;
}

GLint TexLevelParameter(GLenum name) {
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    return value;
}

GLfloat TexParameter(GLenum name) {
    GLfloat value = -1.0f;
    glGetTexParameterfv(GL_TEXTURE_2D, name, &value);
    return value;
}

// The texture image of the bound texture, tightly packed.
Bytes TexImage(GLenum format, size_t bytes) {
    Bytes pixels(bytes + 16, 0xEE);  // the tail shows a read of more than expected
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    for (size_t i = bytes; i < pixels.size(); ++i) EXPECT_EQ(pixels[i], 0xEE) << "byte " << i;
    pixels.resize(bytes);
    return pixels;
}

GLuint BoundTexture() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return static_cast<GLuint>(name);
}

// The name glGenTextures hands out next: 1 in a fresh context where no name was generated yet.
GLuint NextTextureName() {
    GLuint name = 0;
    glGenTextures(1, &name);
    glDeleteTextures(1, &name);
    return name;
}

// Draws the bound texture over the whole viewport, every vertex at texture coordinate (s, t).
void DrawQuad(float left, float right, float s, float t) {
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(s, t);
    glVertex2f(left, -1.0f);
    glVertex2f(right, -1.0f);
    glVertex2f(right, 1.0f);
    glVertex2f(left, 1.0f);
    glEnd();
}

class TextureSetTest : public GLTest {
  protected:
    TempDir dir;
    TextureSet set;
    void TearDown() override {
        set.ReleaseTextures();
        GLTest::TearDown();
    }
};

}  // namespace

// The Part's example: catches a missing or wrong colour swap and a wrong format for 24 bits.
TEST_F(TextureSetTest, Loads24BitExampleAsRgb) {
    const std::string path = Write(dir, "a.tga", Tga(2, 1, 24, {1, 2, 3, 4, 5, 6}));
    set.AllocateTextures(1);
    ASSERT_TRUE(set.LoadTexture(path.c_str(), 0));
    EXPECT_EQ(set.width, 2u);
    EXPECT_EQ(set.height, 1u);
    EXPECT_EQ(set.bitsPerPixel, 24u);
    EXPECT_EQ(set.image, nullptr) << "the decoded pixels are released once GL has its copy";
    ASSERT_NE(set.names[0], 0u);
    EXPECT_TRUE(glIsTexture(set.names[0]));
    EXPECT_EQ(BoundTexture(), set.names[0]) << "the texture stays bound";
    EXPECT_EQ(TexLevelParameter(GL_TEXTURE_INTERNAL_FORMAT), GL_RGB);
    EXPECT_EQ(TexLevelParameter(GL_TEXTURE_WIDTH), 2);
    EXPECT_EQ(TexLevelParameter(GL_TEXTURE_HEIGHT), 1);
    EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), 9729.0f);
    EXPECT_EQ(TexParameter(GL_TEXTURE_MAG_FILTER), 9729.0f);
    EXPECT_EQ(TexImage(GL_RGB, 6), (Bytes{3, 2, 1, 6, 5, 4}));
}

// Catches an alpha byte moved by the swap and a 32-bit file uploaded as RGB.
TEST_F(TextureSetTest, Loads32BitKeepingAlphaAsRgba) {
    const std::string path = Write(dir, "a.tga", Tga(2, 1, 32, {1, 2, 3, 4, 5, 6, 7, 8}));
    set.AllocateTextures(2);
    ASSERT_TRUE(set.LoadTexture(path.c_str(), 1));
    EXPECT_EQ(set.bitsPerPixel, 32u);
    EXPECT_EQ(set.names[0], 0u) << "only the slot of the index is written";
    ASSERT_TRUE(glIsTexture(set.names[1]));
    EXPECT_EQ(TexLevelParameter(GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), 9729.0f);
    EXPECT_EQ(TexParameter(GL_TEXTURE_MAG_FILTER), 9729.0f);
    EXPECT_EQ(TexImage(GL_RGBA, 8), (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));
}

// Catches flipped rows, an interpreted descriptor byte, and rows skewed by GL's unpack alignment
// (a 3-pixel 24-bit row is 9 bytes, not a multiple of 4).
TEST_F(TextureSetTest, RowsStayInFileOrderWhateverTheDescriptor) {
    const Bytes pixels = Counting(3 * 2 * 3);
    Bytes expected = pixels;
    SwapRedAndBlue(expected.data(), static_cast<uint32_t>(expected.size()), 3);
    set.AllocateTextures(3);
    const uint8_t descriptors[3] = {0x00, 0x20, 0xFF};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(static_cast<int>(descriptors[i]));
        const std::string path =
            Write(dir, "r" + std::to_string(i) + ".tga", Tga(3, 2, 24, pixels, descriptors[i]));
        ASSERT_TRUE(set.LoadTexture(path.c_str(), i));
        EXPECT_EQ(TexImage(GL_RGB, expected.size()), expected);
        GLint alignment = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(alignment, 4) << "the unpack alignment is given back";
    }
}

// Catches a texture that GL holds but does not draw with (filters, format), and a swap that only
// glGetTexImage would show.
TEST_F(TextureSetTest, DrawsWithTheFileColours) {
    // Two texels: left B G R = 10 20 30, right 40 50 60.
    const std::string path = Write(dir, "d.tga", Tga(2, 1, 24, {10, 20, 30, 40, 50, 60}));
    set.AllocateTextures(1);
    ASSERT_TRUE(set.LoadTexture(path.c_str(), 0));
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    set.BindTexture(0);
    DrawQuad(-1.0f, 0.0f, 0.25f, 0.5f);  // texel centres: exact colours under GL_LINEAR
    DrawQuad(0.0f, 1.0f, 0.75f, 0.5f);
    const Bytes frame = ReadPixels();
    const size_t row = 32 * kWidth * 4;
    const size_t left = row + 8 * 4, right = row + 56 * 4;
    EXPECT_EQ(Bytes(frame.begin() + left, frame.begin() + left + 3), (Bytes{30, 20, 10}));
    EXPECT_EQ(Bytes(frame.begin() + right, frame.begin() + right + 3), (Bytes{60, 50, 40}));
}

TEST_F(TextureSetTest, SameFileTwiceGivesTwoTextures) {
    const std::string path = Write(dir, "a.tga", Tga(1, 1, 32, {1, 2, 3, 4}));
    set.AllocateTextures(2);
    ASSERT_TRUE(set.LoadTexture(path.c_str(), 0));
    ASSERT_TRUE(set.LoadTexture(path.c_str(), 1));
    EXPECT_NE(set.names[0], set.names[1]);
    EXPECT_TRUE(glIsTexture(set.names[0]));
    EXPECT_TRUE(glIsTexture(set.names[1]));
    set.BindTexture(0);
    EXPECT_EQ(BoundTexture(), set.names[0]);
    set.BindTexture(1);
    EXPECT_EQ(BoundTexture(), set.names[1]);
}

namespace {

struct Refusal {
    const char* what;
    Bytes bytes;
    TgaError reason;
};

Bytes WithHeader(void (*change)(Header&), const Bytes& pixels = Counting(12)) {
    Header h;
    h.width = 2;
    h.height = 2;
    change(h);
    Bytes b = HeaderBytes(h);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

std::vector<Refusal> RefusedFiles() {
    const Bytes good = Tga(2, 2, 24, Counting(12));
    return {
        {"image ID field", WithHeader([](Header& h) { h.idLength = 4; }, Counting(16)),
         TgaError::ImageId},
        {"colour map", WithHeader([](Header& h) {
             h.colourMapType = 1;
             h.imageType = 1;
             h.colourMapSpec[2] = 2;
             h.colourMapSpec[4] = 24;
             h.depth = 8;
         }),
         TgaError::ColourMapped},
        {"colour-map fields", WithHeader([](Header& h) { h.colourMapSpec[4] = 24; }),
         TgaError::ColourMapped},
        {"run-length type 10", WithHeader([](Header& h) { h.imageType = 10; }),
         TgaError::Compressed},
        {"grey type 3", WithHeader([](Header& h) {
             h.imageType = 3;
             h.depth = 8;
         }),
         TgaError::Grey},
        {"image type 0", WithHeader([](Header& h) { h.imageType = 0; }), TgaError::UnsupportedType},
        {"x origin", WithHeader([](Header& h) { h.xOrigin = 1; }), TgaError::NonZeroOrigin},
        {"y origin", WithHeader([](Header& h) { h.yOrigin = 256; }), TgaError::NonZeroOrigin},
        {"8-bit depth", WithHeader([](Header& h) { h.depth = 8; }), TgaError::UnsupportedDepth},
        {"16-bit depth", WithHeader([](Header& h) { h.depth = 16; }), TgaError::UnsupportedDepth},
        {"empty file", Bytes(), TgaError::TruncatedHeader},
        {"5 bytes", Bytes(good.begin(), good.begin() + 5), TgaError::TruncatedHeader},
        {"12 bytes", Bytes(good.begin(), good.begin() + 12), TgaError::TruncatedHeader},
        {"17 bytes", Bytes(good.begin(), good.begin() + 17), TgaError::TruncatedHeader},
        {"header only", Bytes(good.begin(), good.begin() + 18), TgaError::TruncatedPixels},
        {"one pixel byte short", Bytes(good.begin(), good.end() - 1), TgaError::TruncatedPixels},
        {"size overflow 32 bits", Tga(65535, 65535, 32, Counting(64)), TgaError::TooLarge},
        {"size overflow 24 bits", Tga(65535, 65535, 24, Counting(64)), TgaError::TooLarge},
        {"size overflow by one pixel", Tga(32768, 32768, 32, Counting(64)), TgaError::TooLarge},
        {"zero width", Tga(0, 5, 24, Counting(64)), TgaError::Empty},
        {"zero height", Tga(5, 0, 32, Counting(64)), TgaError::Empty},
    };
}

}  // namespace

// Catches a refused file that still creates a texture, writes its slot, keeps an image or leaves
// the file open; and a decoder that disagrees with LoadTexture.
TEST_F(TextureSetTest, RefusesEveryOtherKindOfFile) {
    set.AllocateTextures(2);
    for (const Refusal& refusal : RefusedFiles()) {
        SCOPED_TRACE(refusal.what);
        const std::string path = Write(dir, "bad.tga", refusal.bytes);
        set.names[1] = 777;
        const int descriptors = OpenDescriptors();
        EXPECT_FALSE(set.LoadTexture(path.c_str(), 1));
        EXPECT_EQ(OpenDescriptors(), descriptors) << "the file is closed";
        EXPECT_EQ(set.names[1], 777u) << "names[index] unchanged";
        EXPECT_EQ(set.image, nullptr);
        TgaImage image;
        EXPECT_EQ(DecodeTga(refusal.bytes.data(), refusal.bytes.size(), image), refusal.reason)
            << DescribeTgaError(DecodeTga(refusal.bytes.data(), refusal.bytes.size(), image));
        EXPECT_EQ(image.pixels, nullptr);
    }
    for (GLuint name = 1; name < 64; ++name) EXPECT_FALSE(glIsTexture(name)) << name;
    EXPECT_EQ(BoundTexture(), 0u);
    EXPECT_EQ(NextTextureName(), 1u) << "a refused file generated a texture name";
}

// Steps 5 and 7: width and height are stored before the tests that follow them.
TEST_F(TextureSetTest, RefusedDepthStillStoresTheSize) {
    set.AllocateTextures(1);
    const std::string path = Write(dir, "16.tga", WithHeader([](Header& h) {
                                       h.width = 7;
                                       h.height = 5;
                                       h.depth = 16;
                                   }));
    EXPECT_FALSE(set.LoadTexture(path.c_str(), 0));
    EXPECT_EQ(set.width, 7u);
    EXPECT_EQ(set.height, 5u);
    EXPECT_EQ(set.bitsPerPixel, 0u) << "set only once the depth is accepted";
}

TEST_F(TextureSetTest, MissingFileHasNoOtherEffect) {
    set.AllocateTextures(1);
    set.width = 11;
    set.height = 13;
    const int descriptors = OpenDescriptors();
    EXPECT_FALSE(set.LoadTexture((dir / "missing.tga").c_str(), 0));
    EXPECT_FALSE(set.LoadTexture(dir.path().c_str(), 0)) << "a directory is not a texture";
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_EQ(set.width, 11u);
    EXPECT_EQ(set.height, 13u);
    EXPECT_EQ(set.names[0], 0u);
    EXPECT_EQ(NextTextureName(), 1u);
}

// Step 6, and an index outside the array.
TEST_F(TextureSetTest, RefusedWithoutASlot) {
    const std::string path = Write(dir, "a.tga", Tga(3, 4, 24, Counting(36)));
    EXPECT_FALSE(set.LoadTexture(path.c_str(), 0)) << "no name array";
    EXPECT_EQ(set.width, 3u) << "stored at step 5, before the test of step 6";
    EXPECT_EQ(set.height, 4u);
    set.AllocateTextures(1);
    EXPECT_FALSE(set.LoadTexture(path.c_str(), 1));
    EXPECT_FALSE(set.LoadTexture(path.c_str(), -1));
    EXPECT_EQ(NextTextureName(), 1u);
    EXPECT_TRUE(set.LoadTexture(path.c_str(), 0));
}

// Catches a decoder for the tools that drifts from what LoadTexture hands to GL.
TEST_F(TextureSetTest, DecoderAgreesWithGl) {
    set.AllocateTextures(1);
    for (uint8_t depth : {24, 32}) {
        SCOPED_TRACE(static_cast<int>(depth));
        const Bytes file = Tga(5, 3, depth, Counting(5 * 3 * depth / 8, 7));
        TgaImage image;
        ASSERT_EQ(DecodeTga(file.data(), file.size(), image), TgaError::None);
        EXPECT_EQ(image.width, 5u);
        EXPECT_EQ(image.height, 3u);
        EXPECT_EQ(image.bitsPerPixel, depth);
        ASSERT_TRUE(set.LoadTexture(Write(dir, "x.tga", file).c_str(), 0));
        EXPECT_EQ(TexImage(depth == 24 ? GL_RGB : GL_RGBA, image.size),
                  Bytes(image.pixels, image.pixels + image.size));
        ReleaseTgaImage(image);
        glDeleteTextures(1, &set.names[0]);
    }
}

// Catches a decoder and a loader that disagree on some odd file: random small headers, depths,
// descriptors and truncations, each through both.
TEST_F(TextureSetTest, DecoderAndLoaderAgreeOnRandomFiles) {
    std::mt19937 random(20240613);
    set.AllocateTextures(1);
    const std::string path = dir / "r.tga";
    const uint8_t depths[] = {8, 15, 16, 24, 32, 0, 255};
    for (int round = 0; round < 300; ++round) {
        Header h;
        h.width = static_cast<uint16_t>(random() % 5);
        h.height = static_cast<uint16_t>(random() % 5);
        h.depth = depths[random() % 7];
        h.descriptor = static_cast<uint8_t>(random());
        if (random() % 8 == 0) h.imageType = static_cast<uint8_t>(random() % 12);
        if (random() % 16 == 0) h.xOrigin = 1;
        Bytes file = HeaderBytes(h);
        const Bytes pixels = Counting(random() % 90, static_cast<uint8_t>(random()));
        file.insert(file.end(), pixels.begin(), pixels.end());
        if (random() % 4 == 0) file.resize(random() % (file.size() + 1));
        SCOPED_TRACE(round);
        Write(dir, "r.tga", file);

        TgaImage image;
        const TgaError error = DecodeTga(file.data(), file.size(), image);
        set.names[0] = 0;
        const bool loaded = set.LoadTexture(path.c_str(), 0);
        ASSERT_EQ(loaded, error == TgaError::None) << DescribeTgaError(error);
        if (loaded) {
            EXPECT_EQ(set.width, image.width);
            EXPECT_EQ(set.height, image.height);
            EXPECT_EQ(TexImage(image.bitsPerPixel == 24 ? GL_RGB : GL_RGBA, image.size),
                      Bytes(image.pixels, image.pixels + image.size));
            glDeleteTextures(1, &set.names[0]);
        } else {
            EXPECT_EQ(set.names[0], 0u);
        }
        ReleaseTgaImage(image);
    }
}

// Catches GL textures kept after release, and name arrays or images that grow over reloads.
TEST_F(TextureSetTest, ReleaseDeletesTexturesAndNames) {
    const std::string path = Write(dir, "a.tga", Tga(4, 4, 32, Counting(64)));
    for (int round = 0; round < 50; ++round) {
        set.AllocateTextures(3);  // the previous array is released
        ASSERT_TRUE(set.LoadTexture(path.c_str(), 0));
        ASSERT_TRUE(set.LoadTexture(path.c_str(), 2));
        EXPECT_EQ(set.image, nullptr);
        const GLuint first = set.names[0], last = set.names[2];
        if (round % 2 == 0) {
            set.ReleaseTextures();
            EXPECT_FALSE(glIsTexture(first));
            EXPECT_FALSE(glIsTexture(last));
            EXPECT_EQ(set.names, nullptr);
            EXPECT_EQ(set.nameCount, 0);
        } else {
            glDeleteTextures(1, &first);
            glDeleteTextures(1, &last);
        }
    }
}

TEST_F(TextureSetTest, ReleaseWithoutContextFreesTheNames) {
    const std::string path = Write(dir, "a.tga", Tga(1, 1, 24, {1, 2, 3}));
    set.AllocateTextures(2);
    ASSERT_TRUE(set.LoadTexture(path.c_str(), 0));
    ReleaseContext();
    set.ReleaseTextures();
    EXPECT_EQ(set.names, nullptr);
    set.ReleaseTextures();  // harmless twice
}

// The decoder alone, for the tools: reasons read as words, and a header-only refusal still
// reports the size it read.
TEST(Tga, DecoderReportsReasons) {
    for (int e = 0; e <= static_cast<int>(TgaError::OutOfMemory); ++e) {
        EXPECT_STRNE(DescribeTgaError(static_cast<TgaError>(e)), "unknown error");
    }
    Bytes file = Tga(9, 8, 24, Counting(10));
    TgaImage image;
    EXPECT_EQ(DecodeTga(file.data(), file.size(), image), TgaError::TruncatedPixels);
    EXPECT_EQ(image.width, 9u);
    EXPECT_EQ(image.height, 8u);
    file = Tga(1, 1, 24, {1, 2, 3, 0xAA, 0xBB});  // bytes after the pixels are ignored
    ASSERT_EQ(DecodeTga(file.data(), file.size(), image), TgaError::None);
    EXPECT_EQ(Bytes(image.pixels, image.pixels + image.size), (Bytes{3, 2, 1}));
    ReleaseTgaImage(image);
    EXPECT_EQ(image.pixels, nullptr);
}
