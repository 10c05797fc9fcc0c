// Writes the model files the model-to-frame benchmark opens, once: a smooth 1M-face grid as
// binary PLY and binary STL, and a 1M-face closed scan-like mesh as binary PLY.
//
// Usage: bench-make-models DIR. Files already in DIR are kept (the generators always give the
// same bytes). Prints each file's path, one a line.
#include <sys/stat.h>  // mkdir

#include <cstdio>
#include <string>

#include "bench/lib/large_scene.h"
#include "bench/lib/scan_sphere.h"

namespace {

constexpr int64_t kFaces = 1000000;

// Writes the file with `write` unless it is there already; false when it could not be written.
template <typename Make>
bool Keep(const std::string& path, Make write) {
    if (FileSize(path) < 0 && !write(path)) {
        std::fprintf(stderr, "bench-make-models: could not write %s\n", path.c_str());
        std::remove(path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench-make-models DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    mkdir(dir.c_str(), 0755);
    const auto grid = [](const std::string& path, bool stl) {
        TriangleMesh mesh = GridTriangles(MeshWithFaces(kFaces, 1));
        ToZUp(mesh);
        return stl ? WriteBinaryStl(path, mesh) : WriteBinaryPly(path, mesh);
    };
    bool written = Keep(dir + "/grid-1m.ply", [&](const std::string& p) { return grid(p, false); });
    written =
        Keep(dir + "/grid-1m.stl", [&](const std::string& p) { return grid(p, true); }) && written;
    written =
        Keep(dir + "/scan-1m.ply",
             [](const std::string& p) { return WriteBinaryPly(p, ScanLikeSphere(kFaces, 7)); }) &&
        written;
    return written ? 0 : 1;
}
