// A model file read through assimp, the established import library, into plain arrays. This is
// the part of the importer that reads what a stranger sent: everything it hands on is checked
// again by the part that builds the scene.
#pragma once

#include <string>

#include "tools/import/model_data.h"

// Reads `path` with every node transform applied, polygons triangulated and UV transforms baked
// in; points and lines are counted and left out, faces with a corner at infinity or NaN left out
// with a warning. Each material's picture is decoded and made a texture here. False, with
// `error` saying why (assimp's own reason when assimp refuses the file), when the file cannot be
// read or holds no triangle to show; the warnings then say what was left out.
bool ReadModel(const std::string& path, ModelData& model, std::string& error);
