// Frames per second at 640 x 480 on the headless software renderer, fog on, drawing the way the
// viewer does: the viewer's own start-up, then DrawScene and a buffer swap per frame.
//
// Usage: bench-draw SCENE [SECONDS] [ROOT]. SCENE is relative to ROOT (default the current
// directory), as the viewer reads it. Prints frames per second and the start-up time per million
// faces (mostly the display list being recorded).
#include <unistd.h>  // chdir

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/viewer.h"
#include "render/scene_render.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench-draw SCENE [SECONDS] [ROOT]\n");
        return 2;
    }
    const double seconds = argc > 2 ? std::atof(argv[2]) : 3.0;
    if (argc > 3 && chdir(argv[3]) != 0) return 1;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);

    using Clock = std::chrono::steady_clock;
    ViewerSetup setup;
    setup.sceneFile = argv[1];
    Viewer viewer(setup);
    if (!OpenViewerWindow(viewer)) return 1;
    const Clock::time_point loadStart = Clock::now();
    if (!LoadViewerScene(viewer)) return 1;
    const double loadSeconds = std::chrono::duration<double>(Clock::now() - loadStart).count();

    Scene& scene = *viewer.scene;
    viewer.glWindow->SwapBuffers();  // the first frame pays for warming up
    int frames = 0;
    const Clock::time_point start = Clock::now();
    double elapsed = 0.0;
    while (elapsed < seconds) {
        if (!DrawScene(scene)) return 1;
        viewer.glWindow->SwapBuffers();
        ++frames;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    }
    std::printf(
        "| draw: %s, %d faces, 640 x 480, fog on | %.0f frames/s | loaded and recorded in %.0f "
        "ms (%.0f ms per million faces) |\n",
        argv[1], scene.worldFaceCount, frames / elapsed, loadSeconds * 1e3,
        loadSeconds * 1e3 / (scene.worldFaceCount / 1e6));
    StopViewer(viewer);
    return 0;
}
