// What each material of an assimp scene shows: its diffuse picture, from a file beside the model
// or embedded in it, and its diffuse colour. A picture that is missing or cannot be decoded is
// left out with a warning rather than refusing the model: the geometry is still worth seeing.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "model/records/model_data.h"

struct aiScene;

// Materials that share a picture share one: the keys of the pictures decoded so far, with their
// index in the model's pictures.
using KnownPictures = std::map<std::string, int32_t>;

// Material `material` of `scene`, its picture added to model.pictures (and to `known`) unless an
// earlier material brought the same one. Picture files are looked for relative to
// `modelDirectory`, then by their bare name in it.
SourceMaterial ReadMaterial(const aiScene& scene, unsigned material,
                            const std::string& modelDirectory, KnownPictures& known,
                            ModelData& model);
