// The scene's OpenGL textures, one name per texture index, read from TGA files.
//
// Accepted files: uncompressed true-colour TGA (no image ID, no colour map, zero origin) at 24
// or 32 bits per pixel. Rows go to GL in file order.
#pragma once

#include <cstdint>

struct TextureSet {
    uint8_t* image;         // pixels being decoded, R G B (A) order; released (null) once GL has
                            // its copy, so it is null between loads
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
    // Reads the TGA file and creates its GL texture at names[index], filters GL_LINEAR, GL_RGB
    // for 24 bits and GL_RGBA for 32. True on success. Refused (false): a file that cannot be
    // opened or is not a regular file, any header other than the accepted one (render/tga.h),
    // an empty image, one over 4 GiB, a file that ends inside the pixels, no name array or an
    // index outside it. On failure no GL texture is created, names[index] is unchanged and the
    // file is closed; width and height hold the rejected file's once its header was read.
    // Needs a current context.
    bool LoadTexture(const char* fileName, int32_t index);
    // Deletes the GL textures when a context is current (otherwise they went with it), and
    // releases the name array and image; the set then holds no name array.
    void ReleaseTextures();
};
