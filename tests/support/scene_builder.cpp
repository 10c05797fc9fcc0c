#include "tests/support/scene_builder.h"

#include <algorithm>

#include "render/scene_render.h"
#include "scene/large_array.h"

Vertex V(float x, float y, float z, float u, float v) {
    return {x, y, z, u, v};
}

Face F(int32_t a, int32_t b, int32_t c, int32_t texture, int32_t hidden) {
    Face f;
    f.a = a;
    f.b = b;
    f.c = c;
    f.texture = texture;
    f.hidden = hidden;
    return f;
}

void FillScene(Scene& scene, const std::vector<TestObject>& objects, int32_t textureCount) {
    scene.objectCount = static_cast<int32_t>(objects.size());
    scene.objects = new SceneObject[objects.size()];
    for (size_t i = 0; i < objects.size(); ++i) {
        SceneObject& o = scene.objects[i];
        o.vertexCount = static_cast<int32_t>(objects[i].vertices.size());
        o.faceCount = static_cast<int32_t>(objects[i].faces.size());
        o.vertices = AllocateArray<Vertex>(o.vertexCount);
        o.faces = AllocateArray<Face>(o.faceCount);
        std::copy(objects[i].vertices.begin(), objects[i].vertices.end(), o.vertices);
        std::copy(objects[i].faces.begin(), objects[i].faces.end(), o.faces);
        o.SetPosition(objects[i].x, objects[i].y, objects[i].z);
        o.loaded = true;
    }
    scene.textureCount = textureCount;
    scene.textures.AllocateTextures(textureCount);
    scene.loaded = true;
}

void EmptyScene(Scene& scene, bool deleteList) {
    deleteList ? DestroyScene(scene) : scene.ReleaseScene();
}
