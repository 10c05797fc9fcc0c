// Start-up of large scenes, from process start to the first frame, phase by phase.
//
// Usage: bench-startup [DIR] [RUNS]. Writes (once) under DIR (default bench/out) a one-quad
// scene, a scene of 3 million faces all hidden (so that no display list is recorded) and visible
// scenes of 100k and 1M faces. Each is started RUNS times (default 5), each time in a fresh
// process of this program that runs the viewer's own start-up on the offscreen driver; the
// median of every phase is printed. Beside them, in fresh processes too, the iostream reader on
// the hidden scene's object file, and the ratio the start-up is judged by: the hidden scene's
// start-up beyond the one quad's, against the iostream reader's time.
//
// bench-startup --one ROOT SCENE SPAWNED_NS: one start-up, printing "phase milliseconds" lines.
// bench-startup --iostream FILE: the iostream reader once, printing its milliseconds.
#include <GL/gl.h>     // glFinish: the first frame is drawn when GL says so
#include <fcntl.h>     // O_WRONLY for the child's output
#include <spawn.h>     // posix_spawn: a fresh process per measurement
#include <sys/wait.h>  // waitpid
#include <time.h>      // clock_gettime: one clock across processes
#include <unistd.h>    // chdir

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/viewer.h"
#include "bench/lib/large_scene.h"
#include "render/scene_render.h"
#include "scene/phase_clock.h"

extern char** environ;

namespace {

// Phases in the order they come, as MarkPhase and this program name them.
const char* const kPhases[] = {"process", "window", "parse",  "place",       "textures and camera",
                               "world",   "group",  "record", "first frame", "drawing it"};
// Those that are our own work rather than the process's, the platform's or GL's.
const char* const kOwnPhases[] = {"parse", "place", "textures and camera", "world", "group"};

double NowNs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e9 + now.tv_nsec;
}

// A line of /proc/self/status, in MB: "VmHWM:" the peak resident set so far, "VmRSS:" the
// resident set now.
double StatusMB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    }
    return -1.0;
}

double lastMark = 0.0;
std::map<std::string, double> spent;  // milliseconds per phase

std::map<std::string, double> residentAfter;  // MB, the resident set as each phase ends
std::map<std::string, double> peakAfter;      // MB, the peak so far as each phase ends

void OnPhase(const char* phase) {
    const double now = NowNs();
    spent[phase] += (now - lastMark) / 1e6;
    residentAfter[phase] = StatusMB("VmRSS:");
    peakAfter[phase] = StatusMB("VmHWM:");
    lastMark = NowNs();  // the reading of the status is no phase's
}

int RunOnce(const char* root, const char* scene, const char* spawnedNs) {
    lastMark = std::atof(spawnedNs);
    OnPhase("process");
    if (chdir(root) != 0) return 1;
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    SetMessageBoxHandler(PrintMessageBox);
    SetPhaseListener(OnPhase);
    ViewerSetup setup;
    setup.sceneFile = scene;
    Viewer viewer(setup);
    if (!OpenViewerWindow(viewer)) return 1;
    OnPhase("window");
    if (!LoadViewerScene(viewer)) return 1;
    DrawScene(*viewer.scene);
    viewer.glWindow->SwapBuffers();
    OnPhase("first frame");
    glFinish();  // Mesa's software renderer draws when asked to finish; the user sees it then
    OnPhase("drawing it");
    for (const auto& [phase, ms] : spent) std::printf("%s\t%.2f\n", phase.c_str(), ms);
    // Memory, in MB: the process's peak, and the object and world arrays it must hold.
    const Scene& loaded = *viewer.scene;
    double arrays =
        (loaded.worldVertexCount * sizeof(Vertex) + loaded.worldFaceCount * sizeof(Face));
    for (int32_t i = 0; i < loaded.objectCount; ++i) {
        arrays += loaded.objects[i].vertexCount * sizeof(Vertex) +
                  loaded.objects[i].faceCount * sizeof(Face);
    }
    // What Mesa keeps for the list shows as the growth of the resident set while it records.
    std::printf("memory peak\t%.1f\nmemory arrays\t%.1f\nmemory list\t%.1f\n", peakAfter["record"],
                arrays / 1048576.0, residentAfter["record"] - residentAfter["group"]);
    std::fflush(stdout);
    std::_Exit(0);  // the teardown is not part of the start-up
}

int RunIostream(const char* path) {
    const double start = NowNs();
    if (!LoadWithIostream(path)) return 1;
    std::printf("iostream\t%.2f\n", (NowNs() - start) / 1e6);
    return 0;
}

// Runs this program with `arguments` and reads its "phase milliseconds" lines.
std::map<std::string, double> Measure(std::vector<std::string> arguments) {
    std::map<std::string, double> result;
    const std::string output = "/tmp/bench-startup-" + std::to_string(getpid()) + ".txt";
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t child = -1;
    if (posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(child, &status, 0);
        std::ifstream lines(output);
        std::string line;
        while (std::getline(lines, line)) {
            const size_t tab = line.find('\t');
            if (tab != std::string::npos) result[line.substr(0, tab)] = std::atof(&line[tab + 1]);
        }
        if (status != 0) result.clear();
    }
    posix_spawn_file_actions_destroy(&actions);
    std::remove(output.c_str());
    return result;
}

double Median(std::vector<double> values) {
    if (values.empty()) return -1.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The medians of `runs` fresh start-ups, per phase, with "total".
std::map<std::string, double> StartUps(const std::string& root, const std::string& scene,
                                       int runs) {
    std::map<std::string, std::vector<double>> samples;
    for (int run = 0; run < runs; ++run) {
        const std::string spawned = std::to_string(static_cast<long long>(NowNs()));
        const std::map<std::string, double> phases =
            Measure({"bench-startup", "--one", root, scene, spawned});
        double total = 0.0;
        for (const auto& [phase, value] : phases) {
            samples[phase].push_back(value);
            if (phase.rfind("memory", 0) != 0) total += value;
        }
        if (!phases.empty()) samples["total"].push_back(total);
    }
    std::map<std::string, double> medians;
    for (const auto& [phase, values] : samples) medians[phase] = Median(values);
    return medians;
}

std::string WriteQuadScene(const std::string& root) {
    std::system(("mkdir -p '" + root + "/data/quad'").c_str());
    std::ofstream(root + "/data/quad/quad.obj")
        << "4 2 0 0 0 0\n0 0 0 0 0\n1 0 0 1 0\n1 1 0 1 1\n0 1 0 0 1\n0 1 2 0\n0 2 3 0\n";
    std::ofstream(root + "/data/quad/view.cam") << "0.5 0.5 3 0 0 0\n";
    std::ofstream(root + "/data/quad.scn")
        << "1 0\ndata/quad/quad.obj 0 0 0 1\ndata/quad/view.cam\n";
    return "data/quad.scn";
}

// Our own share is taken against the time until the first frame is issued, not drawn: Mesa's
// software renderer takes seconds to draw a million faces, which would hide our part.
void PrintRow(const std::string& what, const std::map<std::string, double>& phases) {
    std::string split;
    double own = 0.0;
    for (const char* phase : kPhases) {
        const auto found = phases.find(phase);
        if (found == phases.end()) continue;
        char part[64];
        std::snprintf(part, sizeof part, "%s%s %.0f", split.empty() ? "" : ", ", phase,
                      found->second);
        split += part;
    }
    for (const char* phase : kOwnPhases) {
        const auto found = phases.find(phase);
        if (found != phases.end()) own += found->second;
    }
    const double drawn = phases.count("total") != 0 ? phases.at("total") : -1.0;
    const double issued = drawn - (phases.count("drawing it") != 0 ? phases.at("drawing it") : 0);
    std::printf(
        "| startup: %s | %.0f ms to the first frame (drawn at %.0f ms); our own phases %.1f%% of "
        "it | %s ms; peak memory before drawing %.0f MB: the object and world arrays %.0f MB, "
        "Mesa's list %.0f MB |\n",
        what.c_str(), issued, drawn, 100.0 * own / issued, split.c_str(), phases.at("memory peak"),
        phases.at("memory arrays"), phases.at("memory list"));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--one") == 0) return RunOnce(argv[2], argv[3], argv[4]);
    if (argc == 3 && std::strcmp(argv[1], "--iostream") == 0) return RunIostream(argv[2]);
    const std::string root = argc > 1 ? argv[1] : "bench/out";
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::system(("mkdir -p '" + root + "'").c_str());

    LargeMesh hidden = MeshWithFaces(3000000, 1);
    hidden.hidden = 1;
    const std::string hiddenScene = WriteLargeScene(root, hidden);
    const std::string hiddenObject = root + "/data/grid-3000000-1-hidden/mesh.obj";
    const std::string quad = WriteQuadScene(root);

    const std::map<std::string, double> quadPhases = StartUps(root, quad, runs);
    const std::map<std::string, double> hiddenPhases = StartUps(root, hiddenScene, runs);
    std::vector<double> iostream;
    for (int run = 0; run < runs; ++run) {
        const auto measured = Measure({"bench-startup", "--iostream", hiddenObject});
        if (measured.count("iostream") != 0) iostream.push_back(measured.at("iostream"));
    }
    PrintRow("one quad", quadPhases);
    PrintRow("3M faces, all hidden, " +
                 std::to_string(static_cast<int>(FileSize(hiddenObject) / 1e6)) + " MB",
             hiddenPhases);
    // Nothing is drawn of the hidden scene: its start-up ends at the same first frame as the
    // quad's.
    const double beyond = hiddenPhases.at("total") - quadPhases.at("total");
    const double reader = Median(iostream);
    std::printf(
        "| startup: the hidden scene beyond one quad, against the iostream reader (%.0f ms) | "
        "%.0f ms | ratio %.2f (at most 0.20 wanted) |\n",
        reader, beyond, beyond / reader);
    for (const int64_t faces : {int64_t{100000}, int64_t{1000000}}) {
        const std::string scene = WriteLargeScene(root, MeshWithFaces(faces, 16));
        PrintRow(std::to_string(faces / 1000) + "k faces, 16 textures",
                 StartUps(root, scene, runs));
    }
    return 0;
}
