// Writes the demo world under <root>/data: object files, TGA textures, the camera file and
// data/demo.scn. The output depends on nothing but this program, so every run writes the same
// bytes and the committed demo can be checked against a fresh one.
//
// Usage: quorvane-make-demo [root]    (root defaults to the current directory)
//        quorvane-make-demo --help | --version
#include <cstdio>
#include <cstring>     // strcmp
#include <filesystem>  // create_directories
#include <fstream>
#include <string>

#include "render/tga.h"  // EncodeTga
#include "tools/demo/mesh.h"
#include "tools/demo/texture_ids.h"
#include "tools/demo/textures.h"
#include "tools/demo/world.h"
#include "tools/image/image.h"
#include "tools/version.h"

namespace {

std::string TgaOf(const Image& image) {
    return EncodeTga(image.width, image.height, image.alpha, image.rgba.data());
}

bool WriteFile(const std::string& root, const std::string& name, const std::string& contents) {
    const std::filesystem::path path = std::filesystem::path(root) / name;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    out.close();
    if (!out) std::fprintf(stderr, "quorvane-make-demo: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

const Mesh& MeshOf(const DemoWorld& world, const std::string& file) {
    for (const DemoObject& object : world.objects) {
        if (object.file == file) return object.mesh;
    }
    static const Mesh kNone;
    return kNone;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        PrintVersion("quorvane-make-demo");
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
        std::printf(
            "usage: quorvane-make-demo [ROOT]\n"
            "Writes the demo scene under ROOT/data (default: the current directory).\n");
        return 0;
    }
    const std::string root = argc > 1 ? argv[1] : ".";
    const DemoWorld world = BuildDemoWorld();

    bool written = true;
    for (const DemoObject& object : world.objects) {
        written = WriteFile(root, object.file, EncodeObject(object.mesh)) && written;
    }
    for (int id = 0; id < kTextureCount; ++id) {
        const TextureId texture = static_cast<TextureId>(id);
        written =
            WriteFile(root, DescribeTexture(texture).file, TgaOf(PaintTexture(texture))) && written;
    }
    written = WriteFile(root, world.cameraFile, EncodeCamera(world.camera)) && written;
    written = WriteFile(root, "data/demo.scn",
                        EncodeScene(world.placements, world.textures, world.cameraFile)) &&
              written;
    if (!written) return 1;

    // The totals the viewer's report will show for this scene, and the faces it will not draw.
    long vertices = 0, faces = 0, hiddenFaces = 0;
    for (const Placement& placement : world.placements) {
        const Mesh& mesh = MeshOf(world, placement.object);
        vertices += static_cast<long>(mesh.vertices.size());
        faces += static_cast<long>(mesh.faces.size());
        if (mesh.hidden != 0) hiddenFaces += static_cast<long>(mesh.faces.size());
    }
    std::printf("objects %zu\ntextures %zu\nvertices %ld\nfaces %ld\nhidden faces %ld\n",
                world.placements.size(), world.textures.size(), vertices, faces, hiddenFaces);
    return 0;
}
