// Start-up of large scenes, from process start to the first frame, phase by phase.
//
// Usage: bench-startup [DIR] [RUNS] [VIEWER...]. Writes (once) under DIR (default bench/out) a
// one-quad scene, a scene of 3 million faces all hidden (so that no display list is recorded) and
// visible scenes of 100k and 1M faces. Each is started RUNS times (default 5), each time in a
// fresh process of this program that runs the viewer's own start-up on the offscreen driver; the
// median of every phase is printed. Beside them, in fresh processes too, the iostream reader on
// the hidden scene's object file, and the ratio the start-up is judged by: the hidden scene's
// start-up beyond the one quad's, against the iostream reader's time.
//
// Then the quad and the hidden scene as the user meets them: the real viewer VIEWER (default: the
// build's quorvane; several compare builds side by side) started in a folder of each on the X
// display (bench/run gives it Xvfb), timed from its spawn to its exit, ended right after its
// first frame by the first-frame preload (bench/preload/end_after_first_frame.cpp), whose
// landmarks split the time into parts; and where the two instruments differ. Each round runs
// every start-up once, one right after another; then the hidden scene again in the real viewer
// after a few seconds idle each time, as a user who opens it after a pause meets it (this VM's
// host takes back freed memory within seconds, and touching it again is slow); the iostream
// reader last.
//
// bench-startup --one ROOT SCENE SPAWNED_NS: one start-up, printing "phase milliseconds" lines.
// bench-startup --iostream FILE: the iostream reader once, printing its milliseconds.
#include <GL/gl.h>   // glFinish: the first frame is drawn when GL says so
#include <time.h>    // clock_gettime: one clock across processes
#include <unistd.h>  // chdir

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/process_tuning.h"
#include "app/viewer.h"
#include "bench/lib/child_runs.h"
#include "bench/lib/large_scene.h"
#include "render/scene_render.h"
#include "scene/phase_clock.h"

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
    TuneProcess();  // as the viewer's main does
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

// One fresh start-up, its phases with "total".
ChildRun StartUpOnce(const std::string& root, const std::string& scene) {
    ChildSpec spec;
    const std::string spawned = std::to_string(static_cast<long long>(NowNs()));
    spec.argv = {BesideThisProgram("bench-startup"), "--one", root, scene, spawned};
    ChildRun result = RunChild(spec);
    double total = 0.0;
    for (const auto& [phase, value] : result.values) {
        if (phase.rfind("memory", 0) != 0) total += value;
    }
    result.values["total"] = total;
    return result;
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

// How long the machine stays idle before each of the idle rows' start-ups.
constexpr int kIdleSeconds = 3;

// The real viewer's run, in milliseconds per part (kParts) and "total", medians over the runs.
using BlackBox = std::map<std::string, double>;

// The parts between the preload's landmarks, in order: each ends at its landmark ("reaped": the
// parent saw the process end).
const std::pair<const char*, const char*> kParts[] = {
    {"exec and libraries", "loaded"},
    {"window and GL context", "context"},
    {"scene loaded, compiled, first frame drawn", "first frame"},
    {"quit taken, report written", "teardown"},
    {"window, context, input and scene released", "exit"},
    {"exit handlers, memory given back, parent woken", "reaped"}};

// A folder to start the real viewer in: FOLDER/data/demo.scn is root's `scene`, and the folders
// beside it in root/data are linked, so that the names in it lead to the same files.
std::string ViewerFolder(const std::string& root, const std::string& scene,
                         const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::absolute(fs::path(root) / ("viewer-" + name));
    fs::create_directories(folder / "data");
    fs::copy_file(fs::path(root) / scene, folder / "data/demo.scn",
                  fs::copy_options::overwrite_existing);
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(root) / "data")) {
        const fs::path link = folder / "data" / entry.path().filename();
        if (entry.is_directory() && !fs::exists(fs::symlink_status(link))) {
            fs::create_directory_symlink(fs::absolute(entry.path()), link);
        }
    }
    return folder.string();
}

ChildSpec ViewerSpec(const std::string& viewer, const std::string& folder) {
    ChildSpec spec;
    spec.argv = {viewer};
    spec.directory = folder;
    spec.environment = {"SDL_VIDEODRIVER=x11"};
    spec.endAfterFirstFrame = true;
    return spec;
}

// One run of the real viewer, added to `samples` part by part; `harness` (what spawning and
// reaping /bin/true the same way costs) is taken off the first part and the total.
void RunViewerOnce(const ChildSpec& spec, double harness,
                   std::map<std::string, std::vector<double>>& samples) {
    ChildRun result = RunChild(spec);
    result.landmarksMs["reaped"] = result.wallMs;
    if (result.status != 0 || result.landmarksMs.size() != std::size(kParts)) {
        std::fprintf(stderr, "bench-startup: %s in %s: status %d, %zu landmarks\n",
                     spec.argv[0].c_str(), spec.directory.c_str(), result.status,
                     result.landmarksMs.size());
        return;
    }
    double previous = harness;
    for (const auto& [part, landmark] : kParts) {
        samples[part].push_back(result.landmarksMs[landmark] - previous);
        previous = result.landmarksMs[landmark];
    }
    samples["total"].push_back(result.wallMs - harness);
    samples["cpu"].push_back(result.cpuMs);
}

// The medians; -1 for every part when no run succeeded.
BlackBox Medians(std::map<std::string, std::vector<double>>& samples) {
    BlackBox medians;
    for (const auto& [part, landmark] : kParts) medians[part] = Median(samples[part]);
    medians["total"] = Median(samples["total"]);
    medians["cpu"] = Median(samples["cpu"]);
    return medians;
}

std::string Breakdown(const BlackBox& run) {
    std::string parts;
    for (const auto& [part, landmark] : kParts) {
        char text[96];
        const auto found = run.find(part);
        std::snprintf(text, sizeof text, "%s%s %.0f", parts.empty() ? "" : ", ", part,
                      found == run.end() ? -1.0 : found->second);
        parts += text;
    }
    return parts + " ms";
}

void PrintBlackBox(const std::string& what, const BlackBox& run) {
    std::printf(
        "| startup, the real viewer under Xvfb, exec to exit after the first frame: %s | "
        "%.0f ms (CPU %.0f ms) | %s |\n",
        what.c_str(), run.at("total"), run.at("cpu"), Breakdown(run).c_str());
}

// Where the two instruments part on the hidden scene beyond the quad: the in-process start-up
// ends at the first frame drawn on the offscreen driver; the real viewer's run goes on to its exit.
void PrintDifference(const std::map<std::string, double>& hiddenPhases,
                     const std::map<std::string, double>& quadPhases, const BlackBox& hidden,
                     const BlackBox& quad) {
    BlackBox beyond;
    for (const auto& [part, landmark] : kParts) beyond[part] = hidden.at(part) - quad.at(part);
    const double inProcess = hiddenPhases.at("total") - quadPhases.at("total");
    std::printf(
        "| startup: the two instruments on the hidden scene beyond the quad | in one "
        "process %.0f ms, the real viewer %.0f ms | the real viewer's parts beyond the "
        "quad's: %s |\n",
        inProcess, hidden.at("total") - quad.at("total"), Breakdown(beyond).c_str());
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

    std::vector<std::string> viewers;
    for (int i = 3; i < argc; ++i) viewers.push_back(std::filesystem::absolute(argv[i]).string());
    if (viewers.empty()) viewers.push_back(BesideThisProgram("../quorvane"));
    const std::string folders[2] = {ViewerFolder(root, quad, "quad"),
                                    ViewerFolder(root, hiddenScene, "hidden")};
    const double harness = HarnessMs(ViewerSpec(viewers[0], folders[0]), 5);

    // Every measurement once a round, so that a busy moment of the machine falls on all of them.
    // Every start-up once a round, so that a busy moment of the machine falls on all of them, and
    // one right after another: memory a process gives back is taken by this VM's host within
    // seconds, and a start-up after a pause pays for getting it back (the idle rows below).
    std::vector<ChildRun> quadRuns, hiddenRuns, iostream;
    std::vector<std::map<std::string, std::vector<double>>> samples(viewers.size() * 3);
    for (int run = 0; run < runs; ++run) {
        quadRuns.push_back(StartUpOnce(root, quad));
        hiddenRuns.push_back(StartUpOnce(root, hiddenScene));
        // Each round starts with another viewer, so that none always follows the same run.
        for (size_t i = 0; i < viewers.size(); ++i) {
            const size_t v = (i + run) % viewers.size();
            for (int f = 0; f < 2; ++f) {
                RunViewerOnce(ViewerSpec(viewers[v], folders[f]), harness, samples[v * 3 + f]);
            }
        }
    }
    for (int run = 0; run < runs; ++run) {
        for (size_t v = 0; v < viewers.size(); ++v) {
            std::this_thread::sleep_for(std::chrono::seconds(kIdleSeconds));
            RunViewerOnce(ViewerSpec(viewers[v], folders[1]), harness, samples[v * 3 + 2]);
        }
    }
    // The reader last: the memory it gives back would slow the start-up that followed it.
    for (int run = 0; run < runs; ++run) {
        ChildSpec reader;
        reader.argv = {BesideThisProgram("bench-startup"), "--iostream", hiddenObject};
        iostream.push_back(RunChild(reader));
    }
    const std::map<std::string, double> quadPhases = MedianOfRuns(quadRuns);
    const std::map<std::string, double> hiddenPhases = MedianOfRuns(hiddenRuns);
    PrintRow("one quad", quadPhases);
    PrintRow("3M faces, all hidden, " +
                 std::to_string(static_cast<int>(FileSize(hiddenObject) / 1e6)) + " MB",
             hiddenPhases);
    // Nothing is drawn of the hidden scene: its start-up ends at the same first frame as the
    // quad's.
    const double beyond = hiddenPhases.at("total") - quadPhases.at("total");
    const double reader = MedianOfRuns(iostream)["iostream"];
    std::printf(
        "| startup: the hidden scene beyond one quad, against the iostream reader (%.0f ms) | "
        "%.0f ms | ratio %.2f (at most 0.20 wanted) |\n",
        reader, beyond, beyond / reader);
    for (size_t v = 0; v < viewers.size(); ++v) {
        const std::string which = viewers.size() > 1 ? " (" + viewers[v] + ")" : "";
        const BlackBox quadRun = Medians(samples[v * 3]), hiddenRun = Medians(samples[v * 3 + 1]);
        PrintBlackBox("one quad" + which, quadRun);
        PrintBlackBox("3M faces, all hidden" + which, hiddenRun);
        PrintBlackBox("3M faces, all hidden, started after " + std::to_string(kIdleSeconds) +
                          " s idle" + which,
                      Medians(samples[v * 3 + 2]));
        const double seen = hiddenRun.at("total") - quadRun.at("total");
        std::printf(
            "| startup, the real viewer%s: the hidden scene beyond one quad, against the iostream "
            "reader | %.0f ms | ratio %.2f (at most 0.20 wanted) |\n",
            which.c_str(), seen, seen / reader);
        PrintDifference(hiddenPhases, quadPhases, hiddenRun, quadRun);
    }
    for (const int64_t faces : {int64_t{100000}, int64_t{1000000}}) {
        const std::string scene = WriteLargeScene(root, MeshWithFaces(faces, 16));
        std::vector<ChildRun> sceneRuns;
        for (int run = 0; run < runs; ++run) sceneRuns.push_back(StartUpOnce(root, scene));
        PrintRow(std::to_string(faces / 1000) + "k faces, 16 textures", MedianOfRuns(sceneRuns));
    }
    return 0;
}
