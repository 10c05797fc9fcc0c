// quorvane-import MODEL [OUTDIR] [options]: turns a model file of any format assimp reads (OBJ,
// glTF, PLY, STL, FBX, Collada, 3DS, ...) into a scene directory the viewer is started in: OUTDIR,
// by default a new directory named after the model in the current one. Prints what it wrote and
// what it left out. Exit status: 0 when the scene was written, 1 when the model was refused or
// the scene could not be written (nothing is left behind then), 2 for a usage error.
#include <cstdio>
#include <cstdlib>  // strtod
#include <filesystem>
#include <new>  // bad_alloc
#include <string>

#include "app/process_tuning.h"
#include "model/confine/interruption.h"
#include "model/import/import_model.h"
#include "model/write/scene_writer.h"
#include "tools/version.h"

namespace {

struct ImportRequest {
    std::string model;
    std::string directory;  // empty: named after the model
    ImportOptions options;  // --up, --no-shading, --time-limit
};

int Usage(FILE* to, int status) {
    std::fprintf(
        to,
        "usage: quorvane-import MODEL [OUTDIR] [--up AXIS] [--no-shading]\n"
        "                       [--time-limit SECONDS]\n"
        "       quorvane-import --help | --version\n"
        "Writes MODEL as a scene in OUTDIR (default: a new directory named after the\n"
        "model); start the viewer in OUTDIR to see it.\n"
        "  --up AXIS             the model's up axis: +Z, -Z, +Y, -Y, +X or -X\n"
        "                        (default: what the file declares, or its format's\n"
        "                        convention)\n"
        "  --no-shading          flat colours instead of lit ones\n"
        "  --time-limit SECONDS  give up reading the model after this long (default 60)\n");
    return status;
}

int UsageError(const std::string& why) {
    std::fprintf(stderr, "quorvane-import: %s\n", why.c_str());
    return Usage(stderr, 2);
}

// 0 when the arguments make a request; -1 after the help text or the version (exit 0);
// otherwise the exit status, after saying why.
int ParseArguments(int argc, char** argv, ImportRequest& request) {
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "-h" || argument == "--help") return Usage(stdout, -1);
        if (argument == "--version") {
            PrintVersion("quorvane-import");
            return -1;
        }
        if (argument == "--no-shading") {
            request.options.build.shading = false;
        } else if (argument == "--up") {
            if (!hasValue || !ParseAxis(argv[i + 1], request.options.up)) {
                return UsageError("--up wants one of +Z, -Z, +Y, -Y, +X, -X");
            }
            request.options.upGiven = true;
            ++i;
        } else if (argument == "--time-limit") {
            char* end = nullptr;
            const double seconds = hasValue ? std::strtod(argv[i + 1], &end) : 0.0;
            if (!hasValue || end == argv[i + 1] || *end != '\0' || !(seconds > 0.0) ||
                seconds > 86400.0) {
                return UsageError("--time-limit wants a number of seconds, at most a day");
            }
            request.options.timeLimitSeconds = seconds;
            ++i;
        } else if (argument.empty() || argument[0] == '-' || positional == 2) {
            return UsageError("unexpected argument '" + argument + "'");
        } else {
            (positional++ == 0 ? request.model : request.directory) = argument;
        }
    }
    if (positional == 0) return Usage(stderr, 2);
    if (request.directory.empty()) {
        request.directory = std::filesystem::path(request.model).stem().string();
        if (request.directory.empty()) request.directory = "imported";
    }
    return 0;
}

int Refuse(const std::string& model, const std::string& why) {
    std::fprintf(stderr, "quorvane-import: %s: %s\n", model.c_str(), why.c_str());
    return 1;
}

void Report(const Model& model, const UpDeclaration& up, const Framing& framing,
            const std::string& directory) {
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
    std::printf("up: %s (%s)\n", AxisName(up.axis), up.why.c_str());
    std::printf("scale: %.4g, to stand on the ground in front of the camera\n", framing.scale);
    std::printf("written to %s; start the viewer there to see it\n", directory.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    TuneProcess();  // before assimp or anything else allocates; the reader's fork keeps it
    ImportRequest request;
    const int status = ParseArguments(argc, argv, request);
    if (status != 0) return status < 0 ? 0 : status;
    const std::string& path = request.model;
    HoldInterruptions();
    ImportedModel imported;
    std::string error;
    const bool made = ImportModel(path, request.options, imported, error);
    for (const std::string& warning : imported.warnings) {
        std::fprintf(stderr, "warning: %s\n", warning.c_str());
    }
    if (!made) return Refuse(path, error);
    try {
        if (!WriteScene(imported.model, imported.framing.camera, request.directory, error,
                        InterruptionPending)) {
            EndIfInterrupted();
            return Refuse(path, error);
        }
    } catch (const std::bad_alloc&) {
        return Refuse(path, "there is not enough memory to write its scene");
    }
    Report(imported.model, imported.up, imported.framing, request.directory);
    return 0;
}
