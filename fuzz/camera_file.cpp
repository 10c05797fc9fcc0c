// Any bytes as a camera file: always read, every field defined.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "scene/camera.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Camera camera;
    LoadProblem problem;
    ParseCameraText(reinterpret_cast<const char*>(data), size, camera, &problem);
    const float fields[] = {camera.x, camera.y, camera.z, camera.pitch, camera.yaw, camera.heading};
    for (float f : fields) {
        if (std::isnan(f) || std::isinf(f)) __builtin_trap();  // the reader never makes these
    }
    return 0;
}
