// The viewpoint: a position and three angles in degrees, started from a camera file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "scene/load_problem.h"

struct Camera {
    float heading;  // direction of travel about the vertical axis
    float x, y, z;
    float pitch;  // drawn as a rotation by 360 - pitch about x
    float yaw;    // drawn as a rotation by 360 - yaw about y
    bool loaded;

    Camera();

    // Reads six floats in the order x y z pitch yaw heading; anything after them is ignored.
    // 0 when the file opened (`loaded` becomes true, however short or malformed the file is;
    // a value that is missing or malformed, and every value after it, reads 0, and `problem`,
    // when given, holds that as a warning), 1 when it cannot be opened (the problem then says
    // why, box Camera).
    int32_t LoadCamera(const char* fileName, LoadProblem* problem = nullptr);
    void SetPosition(float x, float y, float z);
};

// The reading half of LoadCamera. Returns true when all six values were read; otherwise the
// first fault is described in `problem`, when given. `camera` is filled either way.
bool ParseCameraText(const char* text, size_t size, Camera& camera, LoadProblem* problem);

// ---- Writing --------------------------------------------------------------------------------

// Where a camera file starts the viewer, as the tools place it.
struct CameraStart {
    double x, y, z;
    double pitch, yaw, heading;  // degrees
};

// The camera file's text: x y z pitch yaw heading.
std::string EncodeCamera(const CameraStart& camera);
