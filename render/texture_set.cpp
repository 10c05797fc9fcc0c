#include "render/texture_set.h"

#include <GL/gl.h>

#include <string>

#include "platform/platform.h"
#include "render/tga.h"
#include "scene/mapped_file.h"

static_assert(sizeof(GLuint) == sizeof(uint32_t), "names[] is handed to GL as GLuint");

bool LoadTexture(TextureSet& textures, const char* fileName, int32_t index, LoadProblem* problem) {
    LoadProblem own;
    LoadProblem& refusal = problem != nullptr ? *problem : own;
    refusal.box = LoadBox::Texture;
    if (textures.names == nullptr || index < 0 || index >= textures.nameCount) {
        refusal.file = fileName;
        refusal.message = "has no place among the scene's textures";
        return false;
    }
    MappedFile file;
    if (!OpenNamedFile(fileName, file, &refusal)) {
        refusal.box = LoadBox::Texture;
        return false;
    }
    TgaImage image;
    const TgaError error = DecodeTga(reinterpret_cast<const uint8_t*>(file.data), file.size, image);
    CloseMappedFile(file);
    if (error != TgaError::None) {
        refusal.file = fileName;
        refusal.message = std::string("is refused: ") + DescribeTgaError(error);
        return false;
    }
    const bool alpha = image.bitsPerPixel != 24;
    CreateTexture(textures, index, static_cast<int32_t>(image.width),
                  static_cast<int32_t>(image.height), alpha ? 4 : 3, alpha, image.pixels);
    ReleaseTgaImage(image);  // GL holds its own copy now
    return true;
}

bool CreateTexture(TextureSet& textures, int32_t index, int32_t width, int32_t height,
                   int32_t channels, bool alpha, const uint8_t* pixels) {
    if (textures.names == nullptr || index < 0 || index >= textures.nameCount) return false;
    GLuint& name = textures.names[index];
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(GL_LINEAR));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));
    // Rows are packed; GL's default unpack alignment of 4 would read past the block (and skew the
    // rows) whenever a row of 3-byte texels is not a multiple of 4 bytes long. The alignment is
    // set to 1 for the upload and given back afterwards.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, alpha ? GL_RGBA : GL_RGB, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, channels == 3 ? GL_RGB : GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return true;
}

void BindTexture(const TextureSet& textures, int32_t index) {
    if (index < 0 || index >= textures.nameCount) return;
    glBindTexture(GL_TEXTURE_2D, textures.names[index]);
}

void DeleteTextures(TextureSet& textures) {
    if (textures.nameCount > 0 && HasCurrentGLContext()) {
        glDeleteTextures(textures.nameCount, textures.names);
    }
}
