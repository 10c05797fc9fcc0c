// A model ready to be written as the viewer's files, in the records the demo generator writes
// with: built from the model as read (model_data.h), framed, then written.
#pragma once

#include <string>
#include <vector>

#include "scene/camera.h"        // CameraStart, EncodeCamera
#include "scene/scene_file.h"    // Placement, EncodeScene
#include "scene/scene_object.h"  // Mesh, EncodeObject
#include "tools/image/image.h"

// One texture of the scene: its picture, with power-of-two sides, and where it came from, for
// the report.
struct ModelTexture {
    Image image;
    std::string source;  // a file name, "embedded ...", or "colour of material ..."
};

struct Model {
    // Triangles only, every node transform applied; a face's texture indexes `textures`.
    std::vector<Mesh> meshes;
    std::vector<ModelTexture> textures;
};
