// Any bytes as an object file: refused or loaded, never read or written out of bounds, and
// nothing left allocated after FreeObject (LeakSanitizer checks).
#include <cstddef>
#include <cstdint>

#include "scene/scene_object.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SceneObject object;
    LoadProblem problem;
    const bool valid =
        ParseObjectText(reinterpret_cast<const char*>(data), size, object, &problem);
    if (valid) {
        for (int32_t i = 0; i < object.faceCount; ++i) {
            const Face& f = object.faces[i];
            if (f.a < 0 || f.b < 0 || f.c < 0 || f.a >= object.vertexCount ||
                f.b >= object.vertexCount || f.c >= object.vertexCount) {
                __builtin_trap();  // a face that escapes its vertices was accepted
            }
        }
        object.ScaleObject(2.0f);
    } else if (object.vertexCount != 0 || object.faceCount != 0 || problem.offset > size) {
        __builtin_trap();
    }
    object.FreeObject();
    return 0;
}
