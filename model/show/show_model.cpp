#include "model/show/show_model.h"

#include <algorithm>  // copy
#include <cstdint>
#include <limits>
#include <new>

#include "render/texture_set.h"
#include "scene/large_array.h"

namespace {

constexpr size_t kMaxCount = std::numeric_limits<int32_t>::max();

// The mesh's arrays in the object's own storage, as LoadObject allocates it; the mesh is emptied.
bool MakeObject(Mesh& mesh, SceneObject& object) {
    if (mesh.vertices.size() > kMaxCount || mesh.faces.size() > kMaxCount) return false;
    const auto vertexCount = static_cast<int32_t>(mesh.vertices.size());
    const auto faceCount = static_cast<int32_t>(mesh.faces.size());
    Vertex* vertices = AllocateArray<Vertex>(vertexCount);
    Face* faces = AllocateArray<Face>(faceCount);
    if ((vertexCount > 0 && vertices == nullptr) || (faceCount > 0 && faces == nullptr)) {
        ReleaseArray(vertices, vertexCount);
        ReleaseArray(faces, faceCount);
        return false;
    }
    std::copy(mesh.vertices.begin(), mesh.vertices.end(), vertices);
    for (int32_t i = 0; i < faceCount; ++i) {
        faces[i] = mesh.faces[static_cast<size_t>(i)];
        faces[i].hidden = mesh.hidden;
        faces[i].nx = faces[i].ny = faces[i].nz = 0.0f;  // the world build's to fill
    }
    object.vertexCount = vertexCount;
    object.faceCount = faceCount;
    object.hidden = mesh.hidden;
    object.vertices = vertices;
    object.faces = faces;
    object.scale = 1.0f;
    object.loaded = true;
    mesh = Mesh();
    return true;
}

}  // namespace

bool ShowModel(Model& model, const CameraStart& camera, Scene& scene) {
    if (model.meshes.size() > kMaxCount || model.textures.size() > kMaxCount) return false;
    scene.objects = new (std::nothrow) SceneObject[model.meshes.size()];
    scene.camera = new (std::nothrow) Camera;
    if (scene.objects == nullptr || scene.camera == nullptr) return false;
    scene.objectCount = static_cast<int32_t>(model.meshes.size());
    for (size_t i = 0; i < model.meshes.size(); ++i) {
        if (!MakeObject(model.meshes[i], scene.objects[i])) return false;
    }
    scene.textureCount = static_cast<int32_t>(model.textures.size());
    scene.textures.AllocateTextures(scene.textureCount);
    for (int32_t t = 0; t < scene.textureCount; ++t) {
        Image& image = model.textures[static_cast<size_t>(t)].image;
        CreateTexture(scene.textures, t, image.width, image.height, 4, image.alpha,
                      image.rgba.data());
        image = Image();  // GL holds its own copy now
    }
    scene.camera->x = static_cast<float>(camera.x);
    scene.camera->y = static_cast<float>(camera.y);
    scene.camera->z = static_cast<float>(camera.z);
    scene.camera->pitch = static_cast<float>(camera.pitch);
    scene.camera->yaw = static_cast<float>(camera.yaw);
    scene.camera->heading = static_cast<float>(camera.heading);
    scene.camera->loaded = true;
    scene.loaded = true;
    return true;
}
