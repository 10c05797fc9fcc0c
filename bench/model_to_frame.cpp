// From a model file to its first frame drawn, the wait a user feels, beside f3d (the viewer a user
// would pick instead) turning the same file into a picture, in the same run.
//
// Usage: bench-model-to-frame OUT RUNS FIRST CACHED MODEL...  (on an X display: bench/run gives
// it Xvfb). FIRST and CACHED are sh command lines that open a model: the first opening (nothing
// imported yet) and the second (the import kept from the first). They see $MODEL, the model
// file, and $DIR, its scene folder under OUT, removed before every first opening. The viewer they
// start ends after its first frame (bench/preload/end_after_first_frame.cpp), which notes when
// it was drawn. f3d runs as `f3d --output=OUT/NAME.png --resolution=640,480 MODEL`. Each model is
// opened RUNS times in each of the three ways, taken in turn; one row of medians per model, the
// harness's own cost (a shell started and ended the same way) taken off.
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <cstdio>
#include <cstdlib>

#include "bench/lib/child_runs.h"

namespace {

struct Opening {
    std::vector<ChildRun> f3d, first, cached;
};

std::string Stem(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}

// The faces the viewer drew, from the report it wrote at its orderly end; -1 without one.
long long ReportedFaces(const std::string& dir) {
    std::ifstream report(dir + "/data/report.log");
    std::string line;
    while (std::getline(report, line)) {
        const std::string key = "Total rendered faces: ";
        if (line.rfind(key, 0) == 0) return std::atoll(line.c_str() + key.size());
    }
    return -1;
}

ChildSpec OpeningSpec(const std::string& command, const std::string& model,
                      const std::string& dir) {
    ChildSpec spec;
    spec.argv = {"sh", "-c", command};
    spec.environment = {"MODEL=" + model, "DIR=" + dir};
    spec.endAfterFirstFrame = true;
    return spec;
}

ChildSpec F3dSpec(const std::string& model, const std::string& dir) {
    ChildSpec spec;
    spec.argv = {"f3d", "--output=" + dir + ".f3d.png", "--resolution=640,480", model};
    return spec;
}

ChildRun Open(const std::string& command, const std::string& model, const std::string& dir) {
    const ChildRun run = RunChild(OpeningSpec(command, model, dir));
    if (run.status != 0 || run.landmarksMs.count("first frame") == 0) {
        std::fprintf(stderr, "bench-model-to-frame: %s: no first frame (status %d) from: %s\n",
                     model.c_str(), run.status, command.c_str());
    }
    return run;
}

// Median seconds of a landmark (or "wall") over the runs, less the harness's own milliseconds.
double Seconds(const std::vector<ChildRun>& runs, const std::string& what, double harnessMs) {
    const std::map<std::string, double> medians = MedianOfRuns(runs);
    const auto found = medians.find(what == "wall" ? what : "landmark " + what);
    return found == medians.end() ? -1.0 : (found->second - harnessMs) / 1e3;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: bench-model-to-frame OUT RUNS FIRST CACHED MODEL...\n");
        return 2;
    }
    const std::string out = argv[1];
    const int runs = std::max(1, std::atoi(argv[2]));
    const std::string first = argv[3], cached = argv[4];
    const std::vector<std::string> models(argv + 5, argv + argc);
    std::filesystem::create_directories(out);

    std::map<std::string, Opening> openings;
    for (int run = 0; run < runs; ++run) {
        for (const std::string& model : models) {
            const std::string dir = out + "/" + Stem(model);
            Opening& opening = openings[model];
            opening.f3d.push_back(RunChild(F3dSpec(model, dir)));
            std::filesystem::remove_all(dir);
            opening.first.push_back(Open(first, model, dir));
            opening.cached.push_back(Open(cached, model, dir));
        }
    }
    const double shell = HarnessMs(OpeningSpec(cached, models[0], out), 5);
    const double plain = HarnessMs(F3dSpec(models[0], out), 5);
    std::printf(
        "| model (faces drawn) | f3d: file to PNG | quorvane, first opening: to the first frame "
        "drawn (import + viewer) | to its exit | quorvane, import cached: to the first frame | "
        "to its exit |\n|---|---|---|---|---|---|\n");
    for (const std::string& model : models) {
        const Opening& o = openings[model];
        const double f3d = Seconds(o.f3d, "wall", plain);
        const double firstFrame = Seconds(o.first, "first frame", shell);
        // The viewer's libraries loaded: the import has ended (and the viewer's exec begun).
        const double imported = Seconds(o.first, "loaded", shell);
        const double cachedFrame = Seconds(o.cached, "first frame", shell);
        std::printf(
            "| %s (%lld) | %.2f s | %.2f s (%.2f + %.2f): %.2fx f3d's | %.2f s | %.2f s: %.2fx "
            "f3d's | %.2f s |\n",
            Stem(model).c_str(), ReportedFaces(out + "/" + Stem(model)), f3d, firstFrame, imported,
            firstFrame - imported, firstFrame / f3d, Seconds(o.first, "wall", shell), cachedFrame,
            cachedFrame / f3d, Seconds(o.cached, "wall", shell));
    }
    std::printf(
        "\n(medians of %d runs each, taken in turn; the harness's own %.1f ms (a shell "
        "with the preload) and %.1f ms (f3d's spawn) taken off)\n",
        runs, shell, plain);
    return 0;
}
