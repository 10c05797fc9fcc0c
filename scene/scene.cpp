#include "scene/scene.h"

#include <cstdlib>  // calloc, free for the name array
#include <new>

#include "scene/large_array.h"
#include "scene/mapped_file.h"
#include "scene/phase_clock.h"
#include "scene/scene_file.h"

namespace {

// LoadScene's visitor of the scene file's walk: counts, allocations, objects, textures, camera,
// each loaded as soon as it is read. Stops at the first item that fails, `problem` saying why.
struct Load {
    Scene& scene;
    TextureLoader loadTexture;
    const char* sceneFile;
    const char* sceneText;
    LoadProblem& problem;

    bool OutOfMemory() {
        problem.message = "not enough memory for the scene's records";
        return false;
    }
    // A named file's problem, where the scene names the file when it has no place of its own.
    bool Refused(const char* kind, const SceneFileEntry& name) {
        PlaceAtName(problem, kind, name, sceneFile, sceneText);
        return false;
    }

    bool OnCounts(int32_t objectCount, int32_t textureCount) {
        // The counts are bounded by the file's size (ReadSceneCounts), so these allocations are.
        if (objectCount > 0) {
            scene.objects = new (std::nothrow) SceneObject[objectCount];
            if (scene.objects == nullptr) return OutOfMemory();
        }
        scene.objectCount = objectCount;
        scene.textureCount = textureCount;
        scene.camera = new (std::nothrow) Camera;
        if (scene.camera == nullptr) return OutOfMemory();
        scene.textures.AllocateTextures(scene.textureCount);
        return true;
    }
    bool OnObject(int32_t index, const SceneObjectRecord& record) {
        SceneObject& object = scene.objects[index];
        if (object.LoadObject(record.fileName, &problem)) {
            return Refused("object", SceneFileEntry{record.fileName, record.fileNameOffset});
        }
        MarkPhase("parse");
        object.SetPosition(record.x, record.y, record.z);
        object.ScaleObject(record.scale);
        MarkPhase("place");
        return true;
    }
    bool OnTexture(int32_t index, const SceneFileEntry& entry) {
        if (loadTexture(scene.textures, entry.fileName.c_str(), index, &problem)) return true;
        problem.box = LoadBox::Texture;
        return Refused("texture", entry);
    }
    bool OnCamera(const SceneFileEntry& entry) {
        LoadProblem ignored;  // a malformed camera file is read as far as it goes
        if (scene.camera->LoadCamera(entry.fileName.c_str(), &ignored) == 0) {
            MarkPhase("textures and camera");
            return true;
        }
        problem = ignored;
        return Refused("camera", entry);
    }
};

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

bool Scene::LoadScene(const char* name, TextureLoader loadTexture, LoadProblem* problem) {
    LoadProblem own;
    LoadProblem& refusal = problem != nullptr ? *problem : own;
    refusal = LoadProblem();
    MappedFile file;
    if (!OpenNamedFile(name, file, &refusal)) {  // nothing allocated, nothing changed
        refusal.message = "scene file " + refusal.message;
        return true;
    }
    // Whatever the record still holds (an earlier load that failed, or one never released) goes,
    // so that the load starts from the beginning.
    ReleaseScene();
    Load load{*this, loadTexture, name, file.data, refusal};
    const bool failed = !WalkSceneText(file.data, file.size, load, &refusal);
    if (failed && refusal.file.empty()) {
        refusal.file = name;  // the scene file's own fault, or memory
        if (refusal.line == 0) {
            refusal.line = 1;
            refusal.column = 1;
        }
    }
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
