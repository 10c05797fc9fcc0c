// Frames per second at 640 x 480 on the headless software renderer, fog on, drawing the way the
// viewer does: the render state, fog, the compiled scene, then DrawScene and a buffer swap per
// frame.
//
// Usage: bench-draw SCENE [SECONDS] [ROOT]. SCENE is relative to ROOT (default the current
// directory), as the viewer reads it. Prints frames per second and the display-list recording
// time per million faces.
#include <unistd.h>  // chdir

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/gl_window.h"
#include "platform/window_procedure.h"
#include "render/fog.h"
#include "scene/scene.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench-draw SCENE [SECONDS] [ROOT]\n");
        return 2;
    }
    const double seconds = argc > 2 ? std::atof(argv[2]) : 3.0;
    if (argc > 3 && chdir(argv[3]) != 0) return 1;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);

    GLWindow window;
    window.windowProcedure = WndProc;
    if (!window.CreateWindowAndContext(640, 480, 16, "bench")) return 1;
    window.SetupRenderState(640, 480);
    Fog fog;
    fog.SetupFog();
    fog.EnableFog();
    Scene scene;
    if (scene.LoadScene(argv[1])) return 1;
    const auto compileStart = std::chrono::steady_clock::now();
    scene.CompileScene();
    const double compileSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - compileStart).count();

    using Clock = std::chrono::steady_clock;
    window.SwapBuffers();  // the first frame pays for warming up
    int frames = 0;
    const Clock::time_point start = Clock::now();
    double elapsed = 0.0;
    while (elapsed < seconds) {
        if (!scene.DrawScene()) return 1;
        window.SwapBuffers();
        ++frames;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    }
    std::printf(
        "| draw: %s, %d faces, 640 x 480, fog on | %.0f frames/s | display list "
        "recorded in %.0f ms (%.0f ms per million faces) |\n",
        argv[1], scene.worldFaceCount, frames / elapsed, compileSeconds * 1e3,
        compileSeconds * 1e3 / (scene.worldFaceCount / 1e6));
    scene.DestroyScene();
    window.DestroyWindowAndContext();
    return 0;
}
