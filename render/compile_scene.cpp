// Scene::CompileScene: the world arrays, then the one display list that draws them.
#include <SDL_opengl.h>

#include "render/world_build.h"
#include "scene/scene.h"

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

void RecordBatches(const Scene& scene, TextureSet& textures, const TextureBatches& batches) {
    for (int32_t t = 0; t < batches.textureCount; ++t) {
        textures.BindTexture(t);
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

// `compiled` becomes true only with a recorded list. Without one (totals beyond 32 bits, no
// memory, glGenLists giving 0 as it does without a usable context) it stays false, so DrawScene
// reports the failure and the driver ends in order, rather than showing an empty world as if it
// were the scene. The totals and world arrays stay whenever they could be built, for the report.
void Scene::CompileScene() {
    if (!BuildWorld(*this)) return;
    TextureBatches batches;
    if (!GroupFacesByTexture(*this, batches)) return;
    displayList = glGenLists(1);
    if (displayList != 0) {
        glNewList(displayList, GL_COMPILE);
        RecordBatches(*this, textures, batches);
        glEndList();
        compiled = true;
    }
    ReleaseBatches(batches);
}
