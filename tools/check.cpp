// quorvane-check [SCENE]: explains why the viewer would refuse a scene, without opening a window.
// Prints every problem as file:line:column: message, then the totals the viewer's report would
// print. Exit status: 0 when the viewer would load the scene, 1 when it would refuse it, 2 for a
// usage error.
#include <cstdio>
#include <cstring>

#include "app/scene_check.h"

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr,
                     "usage: quorvane-check [SCENE]\n"
                     "Checks a scene file (default data/demo.scn) and every file it names.\n");
        return 2;
    }
    const char* sceneFile = argc == 2 ? argv[1] : "data/demo.scn";
    const SceneCheck check = CheckScene(sceneFile);
    PrintCheckMessages(check, stdout);
    std::printf(
        "Total used vertexes: %lld\nTotal rendered faces: %lld\nTotal rendered objects: "
        "%d\n(%lld hidden faces, never drawn)\n",
        static_cast<long long>(check.vertexCount), static_cast<long long>(check.faceCount),
        check.objectCount, static_cast<long long>(check.hiddenFaceCount));
    std::printf("%s: %s\n", sceneFile,
                check.loadable ? "the viewer loads this scene" : "the viewer refuses this scene");
    return check.loadable ? 0 : 1;
}
