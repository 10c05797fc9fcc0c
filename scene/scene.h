// Everything one scene file describes, and what the system derives from it.
//
// Lifecycle: constructor, LoadScene, CompileScene, DrawScene once per frame, DestroyScene; after
// DestroyScene the same record may load again.
#pragma once

#include <cstdint>

#include "render/texture_set.h"
#include "scene/camera.h"
#include "scene/scene_object.h"

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

    // Loads the scene file `name`: objects, then textures, then the camera. True on failure,
    // after exactly one message box; nothing after the failing item is read. A malformed scene
    // file (scene/scene_file.h) is refused with "Scene could not be loaded!" at its first fault.
    // When the file cannot be opened the record is left as it was; otherwise whatever it still
    // holds is released first (DestroyScene), so the load starts from the beginning. What a
    // failed load allocated stays until the next DestroyScene or LoadScene.
    bool LoadScene(const char* name);
    // Merges the objects into the world arrays and records the display list. Needs a loaded
    // scene and a current GL context.
    void CompileScene();
    // Clears, sets the view from the camera and calls the list. False when not compiled.
    bool DrawScene();
    // Releases everything loading and compilation allocated: the objects and their array, the
    // texture names and image, the camera, the world arrays. The display list and the textures
    // are deleted only when a context is current (otherwise they went with it). Resets counts,
    // pointers and flags to the constructor's values (view fields apart), so it may run again
    // and LoadScene may follow.
    void DestroyScene();
};
