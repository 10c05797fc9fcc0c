// From a model file to its first frame drawn, the wait a user feels, beside f3d (the viewer a user
// would pick instead) turning the same file into a picture, in the same run.
//
// Usage: bench-model-to-frame OUT RUNS OPENING... -- MODEL...   (on an X display: bench/run gives
// it Xvfb). Each OPENING is `--first LABEL COMMAND`, `--again LABEL COMMAND` or `--picture LABEL
// COMMAND`: an sh command line that opens a model, seeing $MODEL, the model file, and $DIR, its
// scene folder under OUT. Before a --first or --picture opening $DIR is removed (nothing imported
// yet); an --again opening finds what the one before it left. A --picture opening makes a picture
// file and no window, as f3d does here (quorvane-import, then quorvane-shot): its figure is to
// its exit. The viewer a command starts ends after its first frame
// (bench/preload/end_after_first_frame.cpp), which notes when it was drawn. f3d runs as
// `f3d --output=OUT/NAME.f3d.png --resolution=640,480 MODEL`. In each of RUNS rounds every model is
// opened by f3d and then by each OPENING in turn; one row of medians per model and way, the
// harness's own cost (a shell, or a program, started and ended the same way) taken off.
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/lib/child_runs.h"

namespace {

struct Opening {
    bool first;    // --first or --picture: the scene folder removed before it
    bool picture;  // --picture: no window, so no first frame to note
    std::string label;
    std::string command;
};

std::string Stem(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}

// The faces the viewer drew, from the report it wrote at its orderly end somewhere under `dir`
// (quorvane-view's cache folder lies a level or two down); -1 without one.
long long ReportedFaces(const std::string& dir) {
    std::error_code failure;
    for (std::filesystem::recursive_directory_iterator entry(dir, failure), end;
         !failure && entry != end; entry.increment(failure)) {
        if (entry->path().filename() != "report.log") continue;
        std::ifstream report(entry->path());
        std::string line;
        while (std::getline(report, line)) {
            const std::string key = "Total rendered faces: ";
            if (line.rfind(key, 0) == 0) return std::atoll(line.c_str() + key.size());
        }
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

ChildRun Open(const Opening& opening, const std::string& model, const std::string& dir) {
    const std::string& command = opening.command;
    const ChildRun run = RunChild(OpeningSpec(command, model, dir));
    if (run.status != 0 || (!opening.picture && run.landmarksMs.count("first frame") == 0)) {
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

void PrintRow(const std::string& model, const std::string& how, double frame, double loaded,
              double exit, double f3d) {
    const auto seconds = [](double value) {  // "-" for a landmark the row has not
        char text[32] = "-";
        if (value >= 0) std::snprintf(text, sizeof text, "%.2f s", value);
        return std::string(text);
    };
    std::printf("| %s | %s | %s | %s | %s | %.2fx |\n", model.c_str(), how.c_str(),
                seconds(frame).c_str(), seconds(loaded).c_str(), seconds(exit).c_str(),
                (frame < 0 ? exit : frame) / f3d);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Opening> openings;
    int next = 3;
    while (next + 2 < argc &&
           (std::strcmp(argv[next], "--first") == 0 || std::strcmp(argv[next], "--again") == 0 ||
            std::strcmp(argv[next], "--picture") == 0)) {
        const bool picture = std::strcmp(argv[next], "--picture") == 0;
        openings.push_back({picture || std::strcmp(argv[next], "--first") == 0, picture,
                            argv[next + 1], argv[next + 2]});
        next += 3;
    }
    if (argc < 3 || openings.empty() || next + 1 >= argc || std::strcmp(argv[next], "--") != 0) {
        std::fprintf(stderr,
                     "usage: bench-model-to-frame OUT RUNS {--first|--again|--picture} LABEL "
                     "COMMAND ... -- "
                     "MODEL...\n");
        return 2;
    }
    const std::string out = argv[1];
    const int runs = std::max(1, std::atoi(argv[2]));
    const std::vector<std::string> models(argv + next + 1, argv + argc);
    std::filesystem::create_directories(out);

    // results[model][0] is f3d's, then one per opening.
    std::map<std::string, std::vector<std::vector<ChildRun>>> results;
    for (int run = 0; run < runs; ++run) {
        for (const std::string& model : models) {
            const std::string dir = out + "/" + Stem(model);
            std::vector<std::vector<ChildRun>>& result = results[model];
            result.resize(openings.size() + 1);
            result[0].push_back(RunChild(F3dSpec(model, dir)));
            for (size_t i = 0; i < openings.size(); ++i) {
                if (openings[i].first) std::filesystem::remove_all(dir);
                result[i + 1].push_back(Open(openings[i], model, dir));
            }
        }
    }
    const double shell = HarnessMs(OpeningSpec(openings[0].command, models[0], out), 5);
    const double plain = HarnessMs(F3dSpec(models[0], out), 5);
    std::printf(
        "| model (faces drawn) | opened by | to the first frame drawn | the viewer loaded (the "
        "import done) | to the exit | against f3d |\n|---|---|---|---|---|---|\n");
    for (const std::string& model : models) {
        const std::vector<std::vector<ChildRun>>& result = results[model];
        const std::string name =
            Stem(model) + " (" + std::to_string(ReportedFaces(out + "/" + Stem(model))) + ")";
        const double f3d = Seconds(result[0], "wall", plain);
        PrintRow(name, "f3d, file to PNG", -1.0, -1.0, f3d, f3d);
        for (size_t i = 0; i < openings.size(); ++i) {
            // The viewer's libraries loaded: whatever ran before it (the import) has ended.
            PrintRow(name, openings[i].label, Seconds(result[i + 1], "first frame", shell),
                     Seconds(result[i + 1], "loaded", shell), Seconds(result[i + 1], "wall", shell),
                     f3d);
        }
    }
    std::printf(
        "\n(medians of %d runs each, taken in turn; the harness's own %.1f ms (a shell "
        "with the preload) and %.1f ms (f3d's spawn) taken off)\n",
        runs, shell, plain);
    return 0;
}
