// Peak resident memory of loading and compiling a large scene, per million faces.
//
// Usage: bench-memory FACES [DIR]. Writes (once) a scene of FACES faces under DIR (default
// bench/out), loads and compiles it on an offscreen GL context, and prints the peak resident
// set after loading, after building the world, and after recording the display list, against
// the size of the world arrays. One scene per process, since the peak is the process's.
#include <unistd.h>  // chdir

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/lib/large_scene.h"
#include "bench/lib/process_figures.h"
#include "render/world_build.h"
#include "platform/platform.h"
#include "render/scene_render.h"
#include "render/texture_set.h"
#include "scene/scene.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench-memory FACES [DIR]\n");
        return 2;
    }
    const int64_t faces = std::atoll(argv[1]);
    const std::string dir = argc > 2 ? argv[2] : "bench/out";
    std::system(("mkdir -p '" + dir + "'").c_str());
    const std::string scenePath = WriteLargeScene(dir, MeshWithFaces(faces, 16));
    if (chdir(dir.c_str()) != 0) return 1;

    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    GLWindow gl;
    if (!gl.CreateWindowAndContext(64, 64, 16, "bench")) return 1;
    const double base = PeakResidentMB();
    Scene scene;
    if (scene.LoadScene(scenePath.c_str(), LoadTexture)) return 1;
    const double loaded = PeakResidentMB();
    // Our own compile work first, alone, then the whole compilation with GL recording the list.
    BuildWorld(scene);
    TextureBatches batches;
    GroupFacesByTexture(scene, batches);
    const double built = PeakResidentMB();
    const double worldMB =
        (scene.worldVertexCount * sizeof(Vertex) + scene.worldFaceCount * sizeof(Face)) / 1048576.0;
    const double millions = scene.worldFaceCount / 1e6;
    ReleaseBatches(batches);
    DestroyScene(scene);
    if (scene.LoadScene(scenePath.c_str(), LoadTexture)) return 1;
    CompileScene(scene);
    const double compiled = PeakResidentMB();
    std::printf(
        "| memory: peak for load + our compile work, %.1fM faces | %.0f MB | %.2fx the "
        "world arrays (%.0f MB) |\n",
        millions, built - base, (built - base) / worldMB, worldMB);
    std::printf(
        "| memory: peak with the GL display list, %.1fM faces | %.0f MB | %.0f MB per "
        "million faces (load alone: %.0f MB) |\n",
        millions, compiled - base, (compiled - base) / millions, loaded - base);
    DestroyScene(scene);
    gl.DestroyWindowAndContext();
    return 0;
}
