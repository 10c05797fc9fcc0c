// The texture each material of an assimp scene gets: its diffuse picture, from a file beside the
// model or embedded in it, or else a 1 x 1 texture of its diffuse colour. A picture that is
// missing or cannot be decoded falls back to the colour with a warning rather than refusing the
// model: the geometry is still worth seeing.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "tools/import/model.h"

struct aiScene;

// Materials that share a picture (or a colour) share one texture: the keys of those made so far,
// with their index in the model's textures.
using KnownTextures = std::map<std::string, int32_t>;

// The index in model.textures of material `material`'s texture, added to the model (and to
// `known`) unless an earlier material made the same one. Texture files are looked for relative
// to `modelDirectory`, then by their bare name in it.
int32_t MaterialTexture(const aiScene& scene, unsigned material, const std::string& modelDirectory,
                        KnownTextures& known, Model& model);
