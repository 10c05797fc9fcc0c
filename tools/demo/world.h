// The demo world: a walled courtyard with a colonnade, two raised corners, crates and lamps,
// a doorway to a meadow of firs, and towers that fade into the fog towards the far plane.
#pragma once

#include <string>
#include <vector>

#include "scene/camera.h"      // CameraStart
#include "scene/scene_file.h"  // Placement
#include "tools/demo/mesh.h"

struct DemoObject {
    std::string file;  // as the scene file names it
    Mesh mesh;
};

struct DemoWorld {
    std::vector<DemoObject> objects;  // every object file once, whatever its placements
    std::vector<Placement> placements;
    std::vector<std::string> textures;  // index = TextureId
    std::string cameraFile;
    CameraStart camera;
};

DemoWorld BuildDemoWorld();
