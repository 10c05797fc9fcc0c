// The imported model as a scene directory the viewer is started in:
//   data/demo.scn                the scene, with every name relative to the directory
//   data/objects/meshN.obj       one object file per mesh, placed at the origin, scale 1
//   data/textures/textureN.tga   one TGA per texture, in the order of Model::textures
//   data/camera.cam              the camera
// Numbers go out with four decimals, as the demo's do. That is enough here: once framed, every
// corner lies within 15 units of the camera and no texture is wider than 1024 texels, so a
// position moves by at most 0.00005 units and a texture coordinate by a twentieth of a texel.
#pragma once

#include <string>

#include "model/records/model.h"

// Writes everything into a fresh directory beside `directory` and renames it into place, so
// `directory` either appears whole or not at all. False, with `error` saying why, when
// `directory` already exists or anything cannot be written, or when `stop` (asked before each
// file and before the rename; may be null) says to stop; nothing is left behind then.
bool WriteScene(const Model& model, const CameraStart& camera, const std::string& directory,
                std::string& error, bool (*stop)() = nullptr);
