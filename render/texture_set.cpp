#include "render/texture_set.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <fcntl.h>     // open, O_NONBLOCK: a FIFO must not block the open
#include <sys/stat.h>  // fstat, S_ISREG
#include <unistd.h>    // close

#include <cstdio>
#include <cstdlib>

#include "render/tga.h"

static_assert(sizeof(GLuint) == sizeof(uint32_t), "names[] is handed to GL as GLuint");

namespace {

// Opens a regular file for reading in the mode "rb". Anything else (a directory, a device, a
// pipe that could block the viewer for ever) cannot be opened, like a missing file.
FILE* OpenForReading(const char* fileName) {
    const int fd = open(fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    FILE* file = fdopen(fd, "rb");
    if (file == nullptr) close(fd);
    return file;
}

// Every refusal after the open: close the file and return false.
bool Fail(FILE* file) {
    std::fclose(file);
    return false;
}

}  // namespace

TextureSet::TextureSet()
    : image(nullptr), bitsPerPixel(0), width(0), height(0), names(nullptr), nameCount(0) {}

void TextureSet::AllocateTextures(int32_t count) {
    std::free(names);
    names = nullptr;
    nameCount = count > 0 ? count : 0;
    if (nameCount > 0) names = static_cast<uint32_t*>(std::calloc(nameCount, sizeof(uint32_t)));
    if (names == nullptr) nameCount = 0;
}

void TextureSet::BindTexture(int32_t index) {
    if (index < 0 || index >= nameCount) return;
    glBindTexture(GL_TEXTURE_2D, names[index]);
}

bool TextureSet::LoadTexture(const char* fileName, int32_t index) {
    GLenum format = GL_RGBA;                // 1
    FILE* file = OpenForReading(fileName);  // 2
    if (file == nullptr) return false;

    uint8_t signature[kTgaSignatureSize];  // 3
    if (std::fread(signature, 1, sizeof signature, file) != sizeof signature) return Fail(file);
    if (CheckTgaSignature(signature) != TgaError::None) return Fail(file);

    uint8_t spec[kTgaSpecSize];  // 4
    if (std::fread(spec, 1, sizeof spec, file) != sizeof spec) return Fail(file);

    width = TgaWidth(spec);  // 5
    height = TgaHeight(spec);

    // 6; an index outside the array has no slot to write either.
    if (names == nullptr || index < 0 || index >= nameCount) return Fail(file);

    if (!IsTgaDepthAccepted(spec[4])) return Fail(file);  // 7
    bitsPerPixel = spec[4];                               // 8

    const uint32_t bytesPerPixel = bitsPerPixel / 8;  // 9
    uint32_t imageSize = 0;
    if (TgaImageSize(width, height, bitsPerPixel, imageSize) != TgaError::None) return Fail(file);

    std::free(image);  // 10
    image = static_cast<uint8_t*>(std::malloc(imageSize));
    if (image == nullptr) return Fail(file);

    if (std::fread(image, 1, imageSize, file) != imageSize) {  // 11
        std::free(image);
        image = nullptr;
        return Fail(file);
    }

    SwapRedAndBlue(image, imageSize, bytesPerPixel);  // 12
    std::fclose(file);                                // 13

    glGenTextures(1, &names[index]);                                                         // 14
    glBindTexture(GL_TEXTURE_2D, names[index]);                                              // 15
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(GL_LINEAR));  // 16
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));  // 17
    if (bitsPerPixel == 24) format = GL_RGB;                                                 // 18

    // 19. Rows are packed in the file; GL's default unpack alignment of 4 would read past the
    // block (and skew the rows) whenever a 24-bit row is not a multiple of 4 bytes long. The
    // alignment is set to 1 for the upload and given back afterwards.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, format, GL_UNSIGNED_BYTE, image);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);

    // GL holds its own copy now; nothing reads the decoded pixels again.
    std::free(image);
    image = nullptr;
    return true;  // 20
}

void TextureSet::ReleaseTextures() {
    // Without a current context the textures went with the context that held them.
    if (nameCount > 0 && SDL_GL_GetCurrentContext() != nullptr) {
        glDeleteTextures(nameCount, names);
    }
    std::free(names);
    names = nullptr;
    nameCount = 0;
    std::free(image);
    image = nullptr;
}
