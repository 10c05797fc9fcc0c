// The GL side of the scene's TextureSet (scene/scene.h): textures made from TGA files, bound while
// the display list is recorded, deleted with the scene.
#pragma once

#include <cstdint>

#include "scene/scene.h"

// Reads the TGA file (render/tga.h) and creates its GL texture at names[index], filters GL_LINEAR,
// GL_RGB for 24 bits and GL_RGBA for 32. True on success. Refused (false, with `problem`, when
// given, saying why; box Texture): a file that cannot be opened or is not a regular file, one the
// decoder refuses, no name array or an index outside it. A refused file creates no GL texture
// and leaves names[index] as it was. Needs a current context; the texture stays bound.
bool LoadTexture(TextureSet& textures, const char* fileName, int32_t index,
                 LoadProblem* problem = nullptr);
// The upload half of LoadTexture, for pictures already in memory: creates the GL texture at
// names[index] from `width` x `height` texels, bottom row first, packed, `channels` bytes each
// (3: RGB, 4: RGBA), kept with their alpha when `alpha`. False, creating nothing, for an index
// outside the name array. Needs a current context; the texture stays bound.
bool CreateTexture(TextureSet& textures, int32_t index, int32_t width, int32_t height,
                   int32_t channels, bool alpha, const uint8_t* pixels);
// glBindTexture(GL_TEXTURE_2D, names[index]); an index outside the array binds nothing.
void BindTexture(const TextureSet& textures, int32_t index);
// Deletes the GL textures when a context is current (otherwise they went with it). The name array
// stays, for the scene to release.
void DeleteTextures(TextureSet& textures);
