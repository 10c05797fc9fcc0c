// quorvane-import MODEL [OUTDIR]: turns a model file of any format assimp reads (OBJ, glTF, PLY,
// STL, FBX, Collada, 3DS, ...) into a scene directory the viewer is started in: OUTDIR, by default
// a new directory named after the model in the current one. Prints what it wrote and what it left
// out. Exit status: 0 when the scene was written, 1 when the model was refused or the scene could
// not be written (nothing is left behind then), 2 for a usage error.
#include <cstdio>
#include <filesystem>
#include <new>  // bad_alloc
#include <string>

#include "tools/import/build_model.h"
#include "tools/import/framing.h"
#include "tools/import/memory_limit.h"
#include "tools/import/read_model.h"
#include "tools/import/scene_writer.h"

namespace {

int Usage(FILE* to, int status) {
    std::fprintf(to,
                 "usage: quorvane-import MODEL [OUTDIR]\n"
                 "Writes MODEL as a scene in OUTDIR (default: a new directory named after the\n"
                 "model); start the viewer in OUTDIR to see it.\n");
    return status;
}

int Refuse(const std::string& model, const std::string& why) {
    std::fprintf(stderr, "quorvane-import: %s: %s\n", model.c_str(), why.c_str());
    return 1;
}

void Report(const Model& model, const Framing& framing, const std::string& directory) {
    long vertices = 0, faces = 0;
    for (const Mesh& mesh : model.meshes) {
        vertices += static_cast<long>(mesh.vertices.size());
        faces += static_cast<long>(mesh.faces.size());
    }
    std::printf("object files: %zu (%ld vertices, %ld faces)\ntextures: %zu\n", model.meshes.size(),
                vertices, faces, model.textures.size());
    for (size_t i = 0; i < model.textures.size(); ++i) {
        const ModelTexture& texture = model.textures[i];
        std::printf("  texture %zu: %d x %d from %s\n", i, texture.image.width,
                    texture.image.height, texture.source.c_str());
    }
    std::printf("scale: %.4g, to stand on the ground in front of the camera\n", framing.scale);
    std::printf("written to %s; start the viewer there to see it\n", directory.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--help") return Usage(stdout, 0);
    if (argc < 2 || argc > 3 || argv[1][0] == '-') return Usage(stderr, 2);
    const std::string path = argv[1];
    std::string directory = argc == 3 ? argv[2] : std::filesystem::path(path).stem().string();
    if (directory.empty()) directory = "imported";
    CapMemory();
    try {
        ModelData data;
        std::string error;
        const bool read = ReadModel(path, data, error);
        for (const std::string& warning : data.warnings) {
            std::fprintf(stderr, "warning: %s\n", warning.c_str());
        }
        if (!read) return Refuse(path, error == "std::bad_alloc" ? kOutOfMemory : error);
        if (!CheckModelData(data, error)) return Refuse(path, error);
        Model model;
        BuildModel(data, BuildOptions(), model);
        Framing framing;
        if (!FrameModel(model.meshes, framing)) {
            return Refuse(path, "its faces have no size that can be shown");
        }
        if (!WriteScene(model, framing.camera, directory, error)) return Refuse(path, error);
        Report(model, framing, directory);
        return 0;
    } catch (const std::bad_alloc&) {
        return Refuse(path, kOutOfMemory);
    }
}
