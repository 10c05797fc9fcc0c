#include "scene/scene.h"

#include <cstdlib>  // calloc, free for the name array
#include <new>

#include "platform/platform.h"
#include "scene/large_array.h"
#include "scene/mapped_file.h"
#include "scene/messages.h"
#include "scene/phase_clock.h"
#include "scene/scene_file.h"

namespace {

bool RefuseScene() {
    ShowMessageBox(kSceneLoadError, kLoaderCaption);
    return true;
}

// LoadScene after the open: counts, allocations, objects, textures, camera. True on failure.
bool LoadSceneText(Scene& scene, const char* text, size_t size, TextureLoader loadTexture) {
    SceneFileReader reader = MakeSceneFileReader(text, size, nullptr);
    int32_t newObjectCount = 0, newTextureCount = 0;
    if (!ReadSceneCounts(reader, newObjectCount, newTextureCount)) return RefuseScene();

    // The counts are bounded by the file's size (ReadSceneCounts), so these allocations are too.
    if (newObjectCount > 0) {
        scene.objects = new (std::nothrow) SceneObject[newObjectCount];
        if (scene.objects == nullptr) return RefuseScene();
    }
    scene.objectCount = newObjectCount;
    scene.textureCount = newTextureCount;
    scene.camera = new (std::nothrow) Camera;
    if (scene.camera == nullptr) return RefuseScene();
    scene.textures.AllocateTextures(scene.textureCount);

    for (int32_t i = 0; i < scene.objectCount; ++i) {
        SceneObjectRecord record;  // all five tokens before the object file is opened
        if (!ReadSceneObjectRecord(reader, i, record)) return RefuseScene();
        if (scene.objects[i].LoadObject(record.fileName)) return true;  // LoadObject showed its box
        MarkPhase("parse");
        scene.objects[i].SetPosition(record.x, record.y, record.z);
        scene.objects[i].ScaleObject(record.scale);
        MarkPhase("place");
    }

    char fileName[kMaxNameLength + 1];
    for (int32_t i = 0; i < scene.textureCount; ++i) {
        if (!ReadSceneTextureName(reader, i, fileName)) return RefuseScene();
        if (!loadTexture(scene.textures, fileName, i)) {
            ShowMessageBox(kTextureLoadError, kTextureCaption);
            return true;
        }
    }

    if (!ReadSceneCameraName(reader, fileName)) return RefuseScene();
    const bool failed = scene.camera->LoadCamera(fileName) != 0;  // it showed its box on failure
    MarkPhase("textures and camera");
    return failed;
}

}  // namespace

TextureSet::TextureSet() : names(nullptr), nameCount(0) {}

void TextureSet::AllocateTextures(int32_t count) {
    std::free(names);
    names = nullptr;
    nameCount = count > 0 ? count : 0;
    if (nameCount > 0) names = static_cast<uint32_t*>(std::calloc(nameCount, sizeof(uint32_t)));
    if (names == nullptr) nameCount = 0;
}

Scene::Scene()
    : objectCount(0),
      textureCount(0),
      objects(nullptr),
      camera(nullptr),
      worldVertexCount(0),
      worldFaceCount(0),
      worldVertices(nullptr),
      worldFaces(nullptr),
      displayList(0),
      compiled(false),
      viewX(0.0f),
      viewY(0.0f),
      viewZ(0.0f),
      viewPitch(0.0f),
      viewYaw(0.0f),
      loaded(false) {}

bool Scene::LoadScene(const char* name, TextureLoader loadTexture) {
    MappedFile file;
    if (!OpenMappedFile(name, file)) return RefuseScene();  // nothing allocated, nothing changed
    // Whatever the record still holds (an earlier load that failed, or one never released) goes,
    // so that the load starts from the beginning.
    ReleaseScene();
    const bool failed = LoadSceneText(*this, file.data, file.size, loadTexture);
    CloseMappedFile(file);
    if (!failed) loaded = true;
    return failed;
}

void Scene::ReleaseScene() {
    for (int32_t i = 0; i < objectCount; ++i) objects[i].FreeObject();
    delete[] objects;
    textures.AllocateTextures(0);
    ReleaseArray(worldVertices, worldVertexCount);
    ReleaseArray(worldFaces, worldFaceCount);
    delete camera;

    // Emptied, so that a second call or the next LoadScene finds nothing to release.
    objectCount = textureCount = 0;
    objects = nullptr;
    camera = nullptr;
    worldVertexCount = worldFaceCount = 0;
    worldVertices = nullptr;
    worldFaces = nullptr;
    displayList = 0;
    compiled = false;
    loaded = false;
}
