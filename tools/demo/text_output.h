// The demo in the viewer's own text formats: object files, the scene file and the camera file.
#pragma once

#include <string>
#include <vector>

#include "tools/demo/mesh.h"

std::string EncodeObject(const Mesh& mesh);

struct Placement {
    std::string object;  // file name as the scene file gives it
    double x, y, z;
    double scale;
};

// `camera` names the camera file.
std::string EncodeScene(const std::vector<Placement>& placements,
                        const std::vector<std::string>& textures, const std::string& camera);

struct CameraStart {
    double x, y, z;
    double pitch, yaw, heading;  // degrees
};

std::string EncodeCamera(const CameraStart& c);
