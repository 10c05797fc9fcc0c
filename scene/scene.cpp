#include "scene/scene.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <new>

#include "platform/message_box.h"
#include "scene/large_array.h"
#include "scene/messages.h"
#include "scene/scene_file.h"
#include "scene/text_file.h"

namespace {

bool RefuseScene() {
    ShowMessageBox(kSceneLoadError, kLoaderCaption, MB_OK);
    return true;
}

}  // namespace

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

namespace {

// LoadScene after the open: counts, allocations, objects, textures, camera. True on failure.
bool LoadSceneText(Scene& scene, const char* text, size_t size) {
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
        scene.objects[i].SetPosition(record.x, record.y, record.z);
        scene.objects[i].ScaleObject(record.scale);
    }

    char fileName[kMaxNameLength + 1];
    for (int32_t i = 0; i < scene.textureCount; ++i) {
        if (!ReadSceneTextureName(reader, i, fileName)) return RefuseScene();
        if (!scene.textures.LoadTexture(fileName, i)) {
            ShowMessageBox(kTextureLoadError, kTextureCaption, MB_OK);
            return true;
        }
    }

    if (!ReadSceneCameraName(reader, fileName)) return RefuseScene();
    return scene.camera->LoadCamera(fileName) != 0;  // LoadCamera showed its box on failure
}

}  // namespace

bool Scene::LoadScene(const char* name) {
    TextFile file;
    if (!OpenTextFile(name, file)) return RefuseScene();  // nothing allocated, nothing changed
    // Whatever the record still holds (an earlier load that failed, or one never destroyed) is
    // released, so that the load starts from the beginning.
    DestroyScene();
    const bool failed = LoadSceneText(*this, file.data, file.size);
    CloseTextFile(file);
    if (!failed) loaded = true;
    return failed;
}

void Scene::DestroyScene() {
    // Without a current context the list and the textures went with the context that held them.
    if (compiled && SDL_GL_GetCurrentContext() != nullptr) glDeleteLists(displayList, 1);
    textures.ReleaseTextures();

    for (int32_t i = 0; i < objectCount; ++i) objects[i].FreeObject();
    delete[] objects;
    ReleaseArray(worldVertices, worldVertexCount);
    ReleaseArray(worldFaces, worldFaceCount);
    delete camera;

    // Emptied, so that a second DestroyScene or the next LoadScene finds nothing to release.
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
