// The half of scene compilation that needs no GL: the world arrays with their normals, and the
// order in which the display list draws the faces. Kept apart so that it can be timed, and
// tested, without the cost of a GL implementation recording the list.
//
// Lifecycle: BuildWorld, GroupFacesByTexture, read the batches while recording, ReleaseBatches.
// The world arrays belong to the Scene and are released by ReleaseScene by their counts.
#pragma once

#include <cstdint>

#include "scene/scene.h"

// The drawable faces of a world, grouped by texture. Batch t holds the world faces
// order[first[t]] to order[first[t + 1] - 1], in world order.
struct TextureBatches {
    int32_t textureCount;  // number of batches; first has textureCount + 1 elements
    int32_t* first;
    int32_t drawCount;  // elements of order: the drawable faces of all batches
    int32_t* order;

    TextureBatches();
};

// Sets worldVertexCount and worldFaceCount and fills worldVertices and worldFaces: each object's
// vertices moved by its position, its faces with corners rebased onto the world array and their
// normals from FaceNormal. A face with a corner outside its own object keeps its place, texture
// and hidden value but gets the corners -1 and the zero normal, so that it is never drawn and no
// index in the world can reach another object's vertices.
// False when a count is negative, a total does not fit in 32 bits or the memory is not to be
// had; both counts are then 0 and no array is held. Expects no world arrays to be held.
bool BuildWorld(Scene& scene);

// Groups the faces of a built world that are drawable (hidden 0, texture in 0 to textureCount-1,
// every corner inside worldVertices) by texture in one stable pass; a negative textureCount
// counts as 0. False when the memory is not to be had; `batches` then holds nothing.
bool GroupFacesByTexture(const Scene& scene, TextureBatches& batches);
void ReleaseBatches(TextureBatches& batches);
