// quorvane-check [SCENE]: explains why the viewer would refuse a scene, without opening a window.
// Prints every problem as file:line:column: message, then the totals the viewer's report would
// print (labelled partial when the viewer refuses the scene: they cover only the files that
// load). Warnings (a texture upside down, a side that is not a power of two, faces never drawn)
// leave the exit status alone. Exit status: 0 when the viewer would load the scene, 1 when it
// would refuse it, 2 for a usage error.
#include <cstdio>
#include <cstring>

#include "app/report.h"
#include "app/scene_check.h"
#include "tools/version.h"

namespace {

int Usage(FILE* to, int status) {
    std::fprintf(to,
                 "usage: quorvane-check [SCENE]\n"
                 "       quorvane-check --help | --version\n"
                 "Checks a scene file (default data/demo.scn) and every file it names, as the\n"
                 "viewer would load them from the current directory. Objects and textures are\n"
                 "counted from 1 in the order the scene lists them; vertices and faces from 0,\n"
                 "as faces name their corners.\n");
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        return Usage(stdout, 0);
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        PrintVersion("quorvane-check");
        return 0;
    }
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) return Usage(stderr, 2);
    const char* sceneFile = argc == 2 ? argv[1] : "data/demo.scn";
    const SceneCheck check = CheckScene(sceneFile);
    PrintCheckMessages(check, stdout);
    if (!check.loadable) std::printf("Partial totals, of the files that load:\n");
    std::printf("%s(%lld hidden faces, never drawn)\n",
                FormatTotals(check.vertexCount, check.faceCount, check.objectCount, false).c_str(),
                static_cast<long long>(check.hiddenFaceCount));
    std::printf("%s: %s\n", sceneFile,
                check.loadable ? "the viewer loads this scene" : "the viewer refuses this scene");
    return check.loadable ? 0 : 1;
}
