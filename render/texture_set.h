// The scene's OpenGL textures, one name per texture index, read from TGA files.
//
// Accepted files: uncompressed true-colour TGA (no image ID, no colour map, zero origin) at 24
// or 32 bits per pixel. Rows go to GL in file order.
#pragma once

#include <cstdint>

struct TextureSet {
    uint8_t* image;         // pixels of the image decoded last, R G B (A) order
    uint32_t bitsPerPixel;  // 24 or 32, of the image decoded last
    uint32_t width;         // of the file read last
    uint32_t height;
    uint32_t* names;    // GL texture name per index; null until AllocateTextures
    int32_t nameCount;  // elements of `names`

    TextureSet();

    // A fresh name array for `count` textures (all 0); the previous array, if any, is released.
    void AllocateTextures(int32_t count);
    // glBindTexture(GL_TEXTURE_2D, names[index]); an index outside the array binds nothing.
    void BindTexture(int32_t index);
    // Reads the TGA file and creates its GL texture at names[index]. True on success. On
    // failure no GL texture is created and names[index] is unchanged. Needs a current context.
    bool LoadTexture(const char* fileName, int32_t index);
    // Deletes the GL textures when a context is current, and releases the name array and image.
    void ReleaseTextures();
};
