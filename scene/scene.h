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
    // after exactly one message box; nothing after the failing item is read.
    bool LoadScene(const char* name);
    // Merges the objects into the world arrays and records the display list. Needs a loaded
    // scene and a current GL context.
    void CompileScene();
    // Clears, sets the view from the camera and calls the list. False when not compiled.
    bool DrawScene();
    // Releases everything loading and compilation allocated. GL objects are deleted only when a
    // context is current (otherwise they went with it).
    void DestroyScene();
};
