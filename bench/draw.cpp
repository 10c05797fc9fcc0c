// Drawing a scene at 640 x 480 on the headless software renderer, fog on, with the viewer's own
// start-up: the display list's recording, the first frame, the steady frames, and beside them the
// other ways of drawing the same triangles (bench/lib/draw_ways.h), the limit the list is judged
// by. Every timed frame ends with glFinish: on SDL's offscreen driver a buffer swap does not wait
// for drawing and llvmpipe queues frames, so counting swaps would count frames submitted.
//
// Usage: bench-draw ROOT SCENE LABEL [RUNS]. SCENE is relative to ROOT, as the viewer reads it.
// Runs RUNS times (default 3) with the viewer's process tuning (app/process_tuning.h) and as many
// without, taken in turn, each in a fresh process, and prints a row of medians for each.
// bench-draw --one [--untuned] ROOT SCENE: one run, printing "name<TAB>value" lines.
#include <GL/gl.h>   // glFinish
#include <unistd.h>  // chdir

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/process_tuning.h"
#include "app/viewer.h"
#include "bench/lib/child_runs.h"
#include "bench/lib/draw_ways.h"
#include "render/scene_render.h"
#include "scene/phase_clock.h"

namespace {

double lastMark = 0.0;
double recordMs = 0.0;

void OnPhase(const char* phase) {
    const double now = NowMs();
    if (std::strcmp(phase, "record") == 0) recordMs = now - lastMark;
    lastMark = now;
}

int RunOnce(bool tuned, const char* root, const char* sceneFile) {
    if (tuned) TuneProcess();
    if (chdir(root) != 0) return 1;
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    SetMessageBoxHandler(PrintMessageBox);
    ViewerSetup setup;
    setup.sceneFile = sceneFile;
    Viewer viewer(setup);
    if (!OpenViewerWindow(viewer)) return 1;
    SetPhaseListener(OnPhase);
    lastMark = NowMs();
    if (!LoadViewerScene(viewer)) return 1;
    SetPhaseListener(nullptr);
    Scene& scene = *viewer.scene;
    GLWindow& window = *viewer.glWindow;
    const double start = NowMs();
    DrawScene(scene);
    window.SwapBuffers();
    glFinish();
    std::printf("faces\t%d\nrecord\t%.2f\nfirst frame\t%.2f\n", scene.worldFaceCount, recordMs,
                NowMs() - start);
    for (const WayTime& way : TimeDrawingWays(scene, 3, 0.5, [&] { window.SwapBuffers(); })) {
        std::printf("way %s\t%.3f\n", way.name.c_str(), way.frameMs);
        if (way.name == "the viewer's list") std::printf("faults\t%.1f\n", way.faultsPerFrame);
    }
    std::fflush(stdout);
    std::_Exit(0);  // the teardown is not drawing
}

// One row of the medians of a scene's runs, with or without the tuning.
void PrintRow(const std::string& label, bool tuned, const std::vector<ChildRun>& runs) {
    std::map<std::string, double> m = MedianOfRuns(runs);
    if (m.count("faces") == 0) {
        std::printf("| draw: %s%s | no run succeeded | |\n", label.c_str(),
                    tuned ? "" : ", without the process tuning");
        return;
    }
    std::vector<WayTime> ways;  // the list first, as FastestOtherWay expects
    for (const auto& [name, ms] : m) {
        if (name.rfind("way ", 0) == 0) ways.push_back({name.substr(4), ms, 0.0});
    }
    std::stable_partition(ways.begin(), ways.end(),
                          [](const WayTime& way) { return way.name == "the viewer's list"; });
    const double list = m["way the viewer's list"];
    const WayTime fastest = FastestOtherWay(ways);
    std::printf(
        "| draw: %s, %.0f faces%s | %.1f frames/s (%.0f ms a frame, %.0f page faults a frame) | "
        "list "
        "recorded in %.0f ms, first frame %.0f ms; fastest other way (%s) %.0f ms: the list "
        "takes %.2fx |\n",
        label.c_str(), m["faces"], tuned ? "" : ", without the process tuning", 1000.0 / list, list,
        m["faults"], m["record"], m["first frame"], fastest.name.c_str(), fastest.frameMs,
        list / fastest.frameMs);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && arguments[0] == "--one") {
        const bool tuned = arguments.size() == 3;
        if (arguments.size() == 3 || (arguments.size() == 4 && arguments[1] == "--untuned")) {
            return RunOnce(tuned, arguments[arguments.size() - 2].c_str(),
                           arguments.back().c_str());
        }
    }
    if (arguments.size() < 3 || arguments.size() > 4 || arguments[0] == "--one") {
        std::fprintf(stderr, "usage: bench-draw ROOT SCENE LABEL [RUNS]\n");
        return 2;
    }
    const int runs = arguments.size() > 3 ? std::max(1, std::atoi(arguments[3].c_str())) : 3;
    const TuningRuns results =
        RunWithAndWithoutTuning("bench-draw", {arguments[0], arguments[1]}, runs);
    PrintRow(arguments[2], true, results.tuned);
    PrintRow(arguments[2], false, results.untuned);
    return 0;
}
