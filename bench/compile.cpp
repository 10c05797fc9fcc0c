// Cost of compiling a scene: our own work (world arrays, normals, grouping by texture) against
// face count and texture count, and the whole CompileScene with the GL implementation recording
// the list. The per_Gface counter is the time for a billion faces at the measured rate (read its
// seconds as ms per million faces, or ns per face); it should stay flat as faces grow (linear
// cost) and as textures grow (no scan of all faces per texture).
//
//   build/bench/bench-compile [--benchmark_filter=Build]
#include <cstdlib>  // setenv
#include <benchmark/benchmark.h>

#include <SDL_opengl.h>

#include <cstdint>

#include "render/world_build.h"
#include "scene/large_array.h"
#include "platform/platform.h"
#include "render/scene_render.h"
#include "scene/scene.h"

namespace {

// Objects of 50 x 100 quads (10 000 faces, 5 151 vertices) as meshes come from a modeller.
constexpr int32_t kRows = 50, kColumns = 100;
constexpr int32_t kFacesPerObject = 2 * kRows * kColumns;

// Textures spread over the faces by a hash, so that batches interleave as badly as they can;
// one face in 64 is hidden.
void FillGrid(SceneObject& object, int32_t index, int32_t textureCount) {
    object.vertexCount = (kRows + 1) * (kColumns + 1);
    object.faceCount = kFacesPerObject;
    object.vertices = AllocateArray<Vertex>(object.vertexCount);
    object.faces = AllocateArray<Face>(object.faceCount);
    for (int32_t r = 0, k = 0; r <= kRows; ++r) {
        for (int32_t c = 0; c <= kColumns; ++c, ++k) {
            object.vertices[k] = {c * 0.1f, r * 0.1f, ((r * 7 + c * 3) % 11) * 0.01f, c * 0.01f,
                                  r * 0.02f};
        }
    }
    uint32_t hash = 2166136261u ^ static_cast<uint32_t>(index);
    for (int32_t r = 0, m = 0; r < kRows; ++r) {
        for (int32_t c = 0; c < kColumns; ++c) {
            const int32_t v = r * (kColumns + 1) + c;
            const int32_t corners[2][3] = {{v, v + 1, v + kColumns + 2},
                                           {v, v + kColumns + 2, v + kColumns + 1}};
            for (const auto& corner : corners) {
                hash = hash * 16777619u + 12345u;
                Face& f = object.faces[m++];
                f.a = corner[0];
                f.b = corner[1];
                f.c = corner[2];
                f.texture = static_cast<int32_t>((hash >> 8) % static_cast<uint32_t>(textureCount));
                f.hidden = (hash >> 24) % 64 == 0 ? 1 : 0;
            }
        }
    }
    object.SetPosition(static_cast<float>(index % 10) * 12.0f, 0.0f,
                       static_cast<float>(index / 10) * 6.0f);
}

void FillScene(Scene& scene, int32_t faceCount, int32_t textureCount) {
    scene.objectCount = faceCount / kFacesPerObject;
    scene.objects = new SceneObject[scene.objectCount];
    for (int32_t i = 0; i < scene.objectCount; ++i) FillGrid(scene.objects[i], i, textureCount);
    scene.textureCount = textureCount;
    scene.textures.AllocateTextures(textureCount);
}

void ReleaseWorld(Scene& scene) {
    ReleaseArray(scene.worldVertices, scene.worldVertexCount);
    ReleaseArray(scene.worldFaces, scene.worldFaceCount);
    scene.worldVertices = nullptr;
    scene.worldFaces = nullptr;
    scene.worldVertexCount = scene.worldFaceCount = 0;
    if (scene.compiled) glDeleteLists(scene.displayList, 1);
    scene.compiled = false;
    scene.displayList = 0;
}

void EmptyScene(Scene& scene) {
    ReleaseWorld(scene);
    for (int32_t i = 0; i < scene.objectCount; ++i) scene.objects[i].FreeObject();
    delete[] scene.objects;
    scene.textures.AllocateTextures(0);
}

void Report(benchmark::State& state, int32_t faceCount) {
    state.counters["per_Gface"] =
        benchmark::Counter(faceCount / 1e9, benchmark::Counter::kIsIterationInvariantRate |
                                                benchmark::Counter::kInvert);
}

// Our own work, timed with fresh world memory each time as a real compilation gets it.
void BM_BuildWorldAndGroup(benchmark::State& state) {
    const int32_t faceCount = static_cast<int32_t>(state.range(0));
    const int32_t textureCount = static_cast<int32_t>(state.range(1));
    Scene scene;
    FillScene(scene, faceCount, textureCount);
    for (auto _ : state) {
        BuildWorld(scene);
        TextureBatches batches;
        GroupFacesByTexture(scene, batches);
        benchmark::DoNotOptimize(batches.order);
        state.PauseTiming();
        ReleaseBatches(batches);
        ReleaseWorld(scene);
        state.ResumeTiming();
    }
    Report(state, faceCount);
    EmptyScene(scene);
}
BENCHMARK(BM_BuildWorldAndGroup)
    ->ArgsProduct({{10000, 100000, 1000000}, {1, 16, 256}})
    ->Unit(benchmark::kMillisecond);

// The whole CompileScene, with Mesa recording the display list.
void BM_CompileScene(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    GLWindow gl;
    if (!gl.CreateWindowAndContext(64, 64, 16, "bench")) {
        state.SkipWithError("no GL context");
        return;
    }
    const int32_t faceCount = static_cast<int32_t>(state.range(0));
    Scene scene;
    FillScene(scene, faceCount, static_cast<int32_t>(state.range(1)));
    for (auto _ : state) {
        CompileScene(scene);
        glFinish();
        state.PauseTiming();
        ReleaseWorld(scene);
        state.ResumeTiming();
    }
    Report(state, faceCount);
    EmptyScene(scene);
    gl.DestroyWindowAndContext();
}
BENCHMARK(BM_CompileScene)
    ->ArgsProduct({{1000000}, {1, 256}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
