// What each material of an assimp scene shows: its diffuse picture, from a file beside the model
// or embedded in it, and its diffuse colour. A picture that is missing or cannot be decoded is
// left out with a warning rather than refusing the model: the geometry is still worth seeing.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "model/records/model_data.h"

struct aiScene;

// Where a picture a material names lies: as written when absolute; else the path followed from
// the model's folder, with either separator and each part in any letter case, a leading
// separator taken as a slip (tools often write the path as it was on the author's Windows
// machine); else its bare name in the model's folder, in any letter case. Empty when none is a
// regular file. Reads folders only, never writes.
std::string FindPictureFile(std::string reference, const std::string& modelDirectory);

// Materials that share a picture share one: the keys of the pictures decoded so far, with their
// index in the model's pictures.
using KnownPictures = std::map<std::string, int32_t>;

// Material `material` of `scene`, its picture added to model.pictures (and to `known`) unless an
// earlier material brought the same one. Picture files are found by FindPictureFile.
SourceMaterial ReadMaterial(const aiScene& scene, unsigned material,
                            const std::string& modelDirectory, KnownPictures& known,
                            ModelData& model);
