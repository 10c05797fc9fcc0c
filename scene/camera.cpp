#include "scene/camera.h"

#include <string>

#include "scene/mapped_file.h"
#include "scene/token_reader.h"

Camera::Camera()
    : heading(0.0f), x(0.0f), y(0.0f), z(0.0f), pitch(0.0f), yaw(0.0f), loaded(false) {}

bool ParseCameraText(const char* text, size_t size, Camera& camera, LoadProblem* problem) {
    static const char* const kNames[6] = {"x", "y", "z", "pitch", "yaw", "heading"};
    float* const fields[6] = {&camera.x,     &camera.y,   &camera.z,
                              &camera.pitch, &camera.yaw, &camera.heading};
    TokenReader reader = MakeTokenReader(text, size);
    bool valid = true;
    for (int i = 0; i < 6; ++i) {
        *fields[i] = 0.0f;
        // Like a stream, the reader stops at the first fault: later values stay 0.
        if (valid && !ReadFloat(reader, *fields[i])) {
            *fields[i] = 0.0f;
            valid = false;
            RefuseToken(reader, problem, std::string("camera ") + kNames[i]);
        }
    }
    return valid;
}

int32_t Camera::LoadCamera(const char* fileName, LoadProblem* problem) {
    MappedFile file;
    if (!OpenNamedFile(fileName, file, problem)) {
        if (problem != nullptr) problem->box = LoadBox::Camera;
        return 1;
    }
    if (!ParseCameraText(file.data, file.size, *this, problem) && problem != nullptr) {
        problem->file = fileName;
        problem->message += "; the viewer reads 0 from here on";
        problem->warning = true;
        problem->box = LoadBox::Camera;
    }
    CloseMappedFile(file);
    loaded = true;
    return 0;
}

void Camera::SetPosition(float newX, float newY, float newZ) {
    x = newX;
    y = newY;
    z = newZ;
}
