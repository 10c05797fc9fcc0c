// Object-file parsing throughput against a plain iostream reader and tinyobjloader, side by side.
//
// Usage: bench-load [DIR] [RUNS]. Generates (once) a 100 MB object file of 1.5 million vertices
// and 3 million faces in DIR (default bench/out), and the same geometry as a Wavefront OBJ file,
// then times warm, page-cached loads and prints medians and ratios.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/lib/large_scene.h"
#include "scene/scene_object.h"
#include "scene/mapped_file.h"
#ifdef QUORVANE_HAVE_TINYOBJLOADER
#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>
#endif

namespace {

double MedianSeconds(int runs, const std::function<bool()>& load) {
    load();  // warm the page cache and the allocator
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!load()) return -1.0;
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool LoadWithProjectReader(const std::string& path) {
    SceneObject object;
    MappedFile file;
    if (!OpenMappedFile(path.c_str(), file)) return false;
    const bool valid = ParseObjectText(file.data, file.size, object, nullptr);
    CloseMappedFile(file);
    object.FreeObject();
    return valid;
}

#ifdef QUORVANE_HAVE_TINYOBJLOADER
bool LoadWithTinyObj(const std::string& path) {
    tinyobj::ObjReader reader;
    tinyobj::ObjReaderConfig config;
    config.triangulate = false;
    return reader.ParseFromFile(path, config);
}
#endif

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "bench/out";
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::system(("mkdir -p '" + dir + "'").c_str());
    const LargeMesh mesh = MeshWithFaces(3000000, 1);
    const std::string objectPath = dir + "/grid.obj", wavefrontPath = dir + "/grid.wavefront.obj";
    if (FileSize(objectPath) < 0) WriteObjectFile(objectPath, mesh);
    if (FileSize(wavefrontPath) < 0) WriteWavefrontFile(wavefrontPath, mesh);
    const double objectMB = FileSize(objectPath) / 1e6, wavefrontMB = FileSize(wavefrontPath) / 1e6;

    const double ours = MedianSeconds(runs, [&] { return LoadWithProjectReader(objectPath); });
    const double stream = MedianSeconds(runs, [&] { return LoadWithIostream(objectPath); });
    // Rows of the table bench/run prints: | what | figure | side by side |
    std::printf(
        "| load: quorvane reader, %.0f MB object file (%lld vertices, %lld faces) | "
        "%.0f MB/s (%.3f s) | %.1fx the iostream reader |\n",
        objectMB, static_cast<long long>(mesh.vertexCount), static_cast<long long>(mesh.faceCount),
        objectMB / ours, ours, stream / ours);
    std::printf("| load: iostream >> reader, same file | %.0f MB/s (%.3f s) | |\n",
                objectMB / stream, stream);
#ifdef QUORVANE_HAVE_TINYOBJLOADER
    const double tiny = MedianSeconds(runs, [&] { return LoadWithTinyObj(wavefrontPath); });
    std::printf(
        "| load: tinyobjloader, same geometry as a %.0f MB OBJ file | %.0f MB/s (%.3f s) "
        "| quorvane loads the geometry %.1fx faster |\n",
        wavefrontMB, wavefrontMB / tiny, tiny, tiny / ours);
#else
    (void)wavefrontMB;
    std::printf("| load: tinyobjloader | not installed (libtinyobjloader-dev) | |\n");
#endif
    return 0;
}
