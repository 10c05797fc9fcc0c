// A model file read through assimp, the established import library, into plain arrays. This is
// the part of the importer that reads what a stranger sent: it runs confined (confined_read.h),
// and everything it hands on is checked again by the part that builds the scene.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/records/model_data.h"

// Reads `path` with every node transform applied, polygons triangulated and UV transforms baked
// in; points and lines are counted and left out, faces with a corner at infinity or NaN left out
// with a warning. Each material's picture is decoded and made a texture here. False, with
// `error` saying why (assimp's own reason when assimp refuses the file), when the file cannot be
// read or holds no triangle to show; the warnings then say what was left out.
bool ReadModel(const std::string& path, ModelData& model, std::string& error);

// The same for a model file held in memory, its format told by its contents alone; the pictures
// it names are looked for in `directory`.
bool ReadModelFromMemory(const uint8_t* bytes, size_t size, const std::string& directory,
                         ModelData& model, std::string& error);
