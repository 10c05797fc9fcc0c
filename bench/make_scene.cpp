// Writes a large generated scene for the benchmarks and prints its scene file's path.
//
// Usage: bench-make-scene ROOT FACES TEXTURES [SHARD_SIZE]. The scene goes under ROOT/data/, with
// names relative to ROOT, as the viewer reads them; an object file already there is kept. With
// SHARD_SIZE the grid's faces become overlapping shards that large (large_scene.h).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/lib/large_scene.h"

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: bench-make-scene ROOT FACES TEXTURES [SHARD_SIZE]\n");
        return 2;
    }
    LargeMesh mesh = MeshWithFaces(std::atoll(argv[2]), std::atoi(argv[3]));
    if (argc == 5) mesh.shardSize = std::atof(argv[4]);
    std::printf("%s\n", WriteLargeScene(argv[1], mesh).c_str());
    return 0;
}
