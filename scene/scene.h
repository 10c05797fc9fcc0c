// Everything one scene file describes, and what the system derives from it.
//
// Lifecycle: constructor, LoadScene, then the renderer's CompileScene, DrawScene once per frame
// and DestroyScene (render/scene_render.h), which deletes the GL objects and calls ReleaseScene.
// The GL objects are plain names here: this folder never calls GL, the renderer owns every
// operation on them.
#pragma once

#include <cstdint>

#include "scene/camera.h"
#include "scene/scene_object.h"

// The scene's OpenGL texture names, one per texture index.
struct TextureSet {
    uint32_t* names;    // GL texture name per index, 0 until loaded; null before AllocateTextures
    int32_t nameCount;  // elements of `names`

    TextureSet();
    TextureSet(const TextureSet&) = delete;
    TextureSet& operator=(const TextureSet&) = delete;

    // A fresh name array for `count` textures, all 0; the previous array, if any, is released.
    void AllocateTextures(int32_t count);
};

// Turns the texture file `fileName` into texture `index` of `textures`: true on success; on
// failure `problem`, when given, says why. The viewer passes the renderer's LoadTexture
// (render/texture_set.h).
using TextureLoader = bool (*)(TextureSet& textures, const char* fileName, int32_t index,
                               LoadProblem* problem);

struct Scene {
    int32_t objectCount;
    int32_t textureCount;
    SceneObject* objects;  // objectCount elements, in scene-file order
    TextureSet textures;
    Camera* camera;
    int32_t worldVertexCount;
    int32_t worldFaceCount;
    Vertex* worldVertices;  // every object's vertices, moved to its position
    Face* worldFaces;       // every object's faces, rebased onto worldVertices, normals filled
    uint32_t displayList;   // GL list drawing the whole scene
    bool compiled;
    float viewX, viewY, viewZ;  // the view of the last frame drawn: camera position negated,
    float viewPitch, viewYaw;   // 360 minus the camera's angles
    bool loaded;

    Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Loads the scene file `name`: objects, then textures (through `loadTexture`), then the
    // camera. True on failure (the loader's sense: true means refused), with `problem`, when
    // given, saying which file, where, why and which box applies; nothing after the failing item
    // is read, and each file is read once. A malformed scene file (scene/scene_file.h) is refused
    // at its first fault (box Scene). When the file cannot be opened the record is left as it
    // was; otherwise whatever memory it still holds is released first (ReleaseScene), so the load
    // starts from the beginning. What a failed load allocated stays until the next ReleaseScene
    // or LoadScene.
    bool LoadScene(const char* name, TextureLoader loadTexture, LoadProblem* problem = nullptr);
    // Releases the memory that loading and compilation allocated: the objects and their array,
    // the texture name array, the camera, the world arrays. GL objects are DestroyScene's.
    // Resets counts, pointers and flags to the constructor's values (view fields apart), so it
    // may run again and LoadScene may follow.
    void ReleaseScene();
};
