// Writes a large generated scene for the benchmarks and prints its scene file's path.
//
// Usage: bench-make-scene ROOT FACES TEXTURES. The scene goes under ROOT/data/, with names
// relative to ROOT, as the viewer reads them; an object file already there is kept.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/lib/large_scene.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench-make-scene ROOT FACES TEXTURES\n");
        return 2;
    }
    const LargeMesh mesh = MeshWithFaces(std::atoll(argv[2]), std::atoi(argv[3]));
    std::printf("%s\n", WriteLargeScene(argv[1], mesh).c_str());
    return 0;
}
