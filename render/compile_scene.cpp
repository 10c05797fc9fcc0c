#include <GL/gl.h>

#include "render/scene_render.h"
#include "render/texture_set.h"
#include "render/world_build.h"
#include "scene/phase_clock.h"

namespace {

void EmitCorner(const Vertex& v) {
    glTexCoord2f(v.u, v.v);
    glVertex3f(v.x, v.y, v.z);
}

// How far ahead of the face being recorded its successors' data is fetched. Faces of a batch are
// scattered over the world when textures alternate, and each one would otherwise wait for a
// cache miss on the face and on its three corners, between GL calls that evict the cache.
constexpr int32_t kFaceAhead = 16;
constexpr int32_t kCornersAhead = 8;

void RecordBatches(const Scene& scene, const TextureBatches& batches) {
    for (int32_t t = 0; t < batches.textureCount; ++t) {
        BindTexture(scene.textures, t);
        glBegin(GL_TRIANGLES);
        for (int32_t i = batches.first[t]; i < batches.first[t + 1]; ++i) {
            // Written out here: as a function of its own, GCC finds it "pure" and drops it.
            if (i + kFaceAhead < batches.drawCount) {
                __builtin_prefetch(&scene.worldFaces[batches.order[i + kFaceAhead]]);
            }
            if (i + kCornersAhead < batches.drawCount) {
                const Face& next = scene.worldFaces[batches.order[i + kCornersAhead]];
                __builtin_prefetch(&scene.worldVertices[next.a]);
                __builtin_prefetch(&scene.worldVertices[next.b]);
                __builtin_prefetch(&scene.worldVertices[next.c]);
            }
            const Face& f = scene.worldFaces[batches.order[i]];
            glNormal3f(f.nx, f.ny, f.nz);
            EmitCorner(scene.worldVertices[f.a]);
            EmitCorner(scene.worldVertices[f.b]);
            EmitCorner(scene.worldVertices[f.c]);
        }
        glEnd();
    }
}

}  // namespace

// Without a list the scene must not pass for compiled: an empty world shown as if it were the
// scene would hide the failure (glGenLists gives 0 without a usable context).
void CompileScene(Scene& scene) {
    if (!BuildWorld(scene)) return;
    MarkPhase("world");
    TextureBatches batches;
    if (!GroupFacesByTexture(scene, batches)) return;
    MarkPhase("group");
    scene.displayList = glGenLists(1);
    if (scene.displayList != 0) {
        glNewList(scene.displayList, GL_COMPILE);
        RecordBatches(scene, batches);
        glEndList();
        scene.compiled = true;
    }
    ReleaseBatches(batches);
    MarkPhase("record");
}
