#include "render/texture_set.h"

#include <SDL_opengl.h>

#include <cstdlib>

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
