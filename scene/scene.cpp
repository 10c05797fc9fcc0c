#include "scene/scene.h"

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
