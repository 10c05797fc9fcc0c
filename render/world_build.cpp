#include "render/world_build.h"

#include <algorithm>  // fill_n, copy_n for the batch counters; min, max for the slices
#include <vector>

#include "scene/large_array.h"
#include "scene/parallel.h"

namespace {

// Sums of the object counts; false when a count is negative or a sum leaves int32.
bool WorldTotals(const Scene& scene, int32_t& vertexTotal, int32_t& faceTotal) {
    int64_t vertices = 0, faces = 0;
    for (int32_t i = 0; i < scene.objectCount; ++i) {
        const SceneObject& object = scene.objects[i];
        if (object.vertexCount < 0 || object.faceCount < 0) return false;
        vertices += object.vertexCount;
        faces += object.faceCount;
        if (vertices > INT32_MAX || faces > INT32_MAX) return false;
    }
    vertexTotal = static_cast<int32_t>(vertices);
    faceTotal = static_cast<int32_t>(faces);
    return true;
}

// Elements `first` to `last` - 1 of the object's vertices, moved to its position.
void PlaceVertices(const SceneObject& object, int32_t first, int32_t last, Vertex* out) {
    const float x = object.x, y = object.y, z = object.z;
    const Vertex* in = object.vertices;
    for (int32_t j = first; j < last; ++j) {
        out[j] = in[j];
        out[j].x = in[j].x + x;
        out[j].y = in[j].y + y;
        out[j].z = in[j].z + z;
    }
}

// Faces `first` to `last` - 1 of the object, rebased onto the world's vertices from `base` on.
void RebaseFaces(const SceneObject& object, int32_t first, int32_t last, int32_t base,
                 const Vertex* world, Face* out) {
    // One unsigned comparison per corner rejects negative indices as well as too large ones.
    const uint32_t own = static_cast<uint32_t>(object.vertexCount);
    const Face* in = object.faces;
    for (int32_t j = first; j < last; ++j) {
        Face f = in[j];
        if (static_cast<uint32_t>(f.a) < own && static_cast<uint32_t>(f.b) < own &&
            static_cast<uint32_t>(f.c) < own) {
            f.a += base;
            f.b += base;
            f.c += base;
            const Vertex n = FaceNormal(world[f.a], world[f.b], world[f.c]);
            f.nx = n.x;
            f.ny = n.y;
            f.nz = n.z;
        } else {
            f.a = f.b = f.c = -1;
            f.nx = f.ny = f.nz = 0.0f;
        }
        out[j] = f;
    }
}

// Where each object's vertices and faces start in the world arrays: objectCount + 1 entries.
struct WorldOffsets {
    std::vector<int32_t> vertex;
    std::vector<int32_t> face;
};

WorldOffsets OffsetsOf(const Scene& scene) {
    WorldOffsets offsets;
    offsets.vertex.assign(static_cast<size_t>(scene.objectCount) + 1, 0);
    offsets.face.assign(static_cast<size_t>(scene.objectCount) + 1, 0);
    for (int32_t i = 0; i < scene.objectCount; ++i) {
        offsets.vertex[i + 1] = offsets.vertex[i] + scene.objects[i].vertexCount;
        offsets.face[i + 1] = offsets.face[i] + scene.objects[i].faceCount;
    }
    return offsets;
}

// Calls work(object, first, last) for the elements of each object that fall in part `part` of
// `parts` equal parts of all elements; `starts` holds where each object's elements begin.
template <typename Work>
void ForEachSlice(const std::vector<int32_t>& starts, int part, int parts, Work work) {
    const int64_t total = starts.back();
    const int64_t begin = total * part / parts, end = total * (part + 1) / parts;
    const int32_t objects = static_cast<int32_t>(starts.size()) - 1;
    for (int32_t i = 0; i < objects; ++i) {
        const int64_t first = std::max<int64_t>(begin, starts[i]);
        const int64_t last = std::min<int64_t>(end, starts[i + 1]);
        if (first < last) {
            work(i, static_cast<int32_t>(first - starts[i]),
                 static_cast<int32_t>(last - starts[i]));
        }
    }
}

}  // namespace

TextureBatches::TextureBatches() : textureCount(0), first(nullptr), drawCount(0), order(nullptr) {}

bool BuildWorld(Scene& scene) {
    scene.worldVertexCount = scene.worldFaceCount = 0;
    scene.worldVertices = nullptr;
    scene.worldFaces = nullptr;
    int32_t vertexTotal = 0, faceTotal = 0;
    if (!WorldTotals(scene, vertexTotal, faceTotal)) return false;
    Vertex* vertices = AllocateArray<Vertex>(vertexTotal);
    Face* faces = AllocateArray<Face>(faceTotal);
    if ((vertexTotal > 0 && vertices == nullptr) || (faceTotal > 0 && faces == nullptr)) {
        ReleaseArray(vertices, vertexTotal);
        ReleaseArray(faces, faceTotal);
        return false;
    }

    // Every vertex is in place before any normal reads it; each pass is shared among the cores.
    const WorldOffsets offsets = OffsetsOf(scene);
    const int parts =
        WorkersFor(int64_t{vertexTotal} * sizeof(Vertex) + int64_t{faceTotal} * sizeof(Face));
    RunInParallel(parts, [&](int part) {
        ForEachSlice(offsets.vertex, part, parts, [&](int32_t i, int32_t first, int32_t last) {
            PlaceVertices(scene.objects[i], first, last, vertices + offsets.vertex[i]);
        });
    });
    RunInParallel(parts, [&](int part) {
        ForEachSlice(offsets.face, part, parts, [&](int32_t i, int32_t first, int32_t last) {
            RebaseFaces(scene.objects[i], first, last, offsets.vertex[i], vertices,
                        faces + offsets.face[i]);
        });
    });

    scene.worldVertexCount = vertexTotal;
    scene.worldFaceCount = faceTotal;
    scene.worldVertices = vertices;
    scene.worldFaces = faces;
    return true;
}

bool GroupFacesByTexture(const Scene& scene, TextureBatches& batches) {
    batches = TextureBatches();
    const int32_t textureCount = std::max(scene.textureCount, 0);
    const uint32_t textures = static_cast<uint32_t>(textureCount);
    const uint32_t vertices = static_cast<uint32_t>(scene.worldVertexCount);
    const Face* faces = scene.worldFaces;
    const int32_t faceCount = faces != nullptr ? scene.worldFaceCount : 0;
    auto drawable = [&](const Face& f) {
        return f.hidden == 0 && static_cast<uint32_t>(f.texture) < textures &&
               static_cast<uint32_t>(f.a) < vertices && static_cast<uint32_t>(f.b) < vertices &&
               static_cast<uint32_t>(f.c) < vertices;
    };

    // Counting sort: count each batch, turn the counts into start offsets, then drop every face
    // at its batch's cursor. Walking the faces in world order keeps each batch in world order.
    int32_t* first = AllocateArray<int32_t>(int64_t{textureCount} + 1);
    if (first == nullptr) return false;
    std::fill_n(first, textureCount + 1, 0);
    for (int32_t f = 0; f < faceCount; ++f) {
        if (drawable(faces[f])) ++first[faces[f].texture + 1];
    }
    for (int32_t t = 0; t < textureCount; ++t) first[t + 1] += first[t];
    const int32_t drawCount = first[textureCount];

    int32_t* order = AllocateArray<int32_t>(drawCount);
    int32_t* cursor = AllocateArray<int32_t>(textureCount);
    if ((drawCount > 0 && order == nullptr) || (textureCount > 0 && cursor == nullptr)) {
        ReleaseArray(first, int64_t{textureCount} + 1);
        ReleaseArray(order, drawCount);
        ReleaseArray(cursor, textureCount);
        return false;
    }
    std::copy_n(first, textureCount, cursor);
    for (int32_t f = 0; f < faceCount; ++f) {
        if (drawable(faces[f])) order[cursor[faces[f].texture]++] = f;
    }
    ReleaseArray(cursor, textureCount);

    batches.textureCount = textureCount;
    batches.first = first;
    batches.drawCount = drawCount;
    batches.order = order;
    return true;
}

void ReleaseBatches(TextureBatches& batches) {
    ReleaseArray(batches.first, int64_t{batches.textureCount} + 1);
    ReleaseArray(batches.order, batches.drawCount);
    batches = TextureBatches();
}
