// Scenes built in memory for compilation and drawing tests, without any file.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/scene.h"

struct TestObject {
    std::vector<Vertex> vertices;
    std::vector<Face> faces;
    float x = 0.0f, y = 0.0f, z = 0.0f;  // position
};

Vertex V(float x, float y, float z, float u = 0.0f, float v = 0.0f);
Face F(int32_t a, int32_t b, int32_t c, int32_t texture = 0, int32_t hidden = 0);

// Gives `scene` copies of the objects (arrays as the loader allocates them) and `textureCount`,
// with a name array of that size whose names are still 0.
void FillScene(Scene& scene, const std::vector<TestObject>& objects, int32_t textureCount);
// Releases the objects, the world arrays and the name array, and deletes the display list when
// `deleteList` (only while the context that made it is current).
void EmptyScene(Scene& scene, bool deleteList = true);
