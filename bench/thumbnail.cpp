// A model file's thumbnail, the wait a file manager adds to every model of a folder, beside f3d
// (whose Debian package a desktop would otherwise use for it) writing the same file's picture at
// the same size, in the same run.
//
// Usage: bench-thumbnail OUT RUNS SIZE [MODEL...]   (f3d needs a display: bench/run gives it Xvfb)
// The models are those of the tests' import table, then any named. In each of RUNS rounds every
// model is drawn by f3d and then by quorvane-thumbnailer (beside this program's folder), one
// after the other; one row of medians per model, the spawn's own cost taken off both.
#include <algorithm>  // max
#include <cstdio>
#include <cstdlib>  // atoi
#include <filesystem>
#include <string>
#include <vector>

#include "bench/lib/child_runs.h"
#include "tests/support/model_table.h"

namespace {

ChildSpec Ours(const std::string& model, const std::string& out, int size) {
    ChildSpec spec;
    spec.argv = {BesideThisProgram("../quorvane-thumbnailer"), "-s", std::to_string(size), model,
                 out + "/quorvane.png"};
    return spec;
}

ChildSpec F3d(const std::string& model, const std::string& out, int size) {
    ChildSpec spec;
    const std::string side = std::to_string(size);
    spec.argv = {"f3d", "--output=" + out + "/f3d.png", "--resolution=" + side + "," + side, model};
    return spec;
}

double Seconds(const std::vector<ChildRun>& runs, double harnessMs) {
    std::vector<double> walls;
    for (const ChildRun& run : runs) {
        if (run.status == 0) walls.push_back(run.wallMs);
    }
    return walls.empty() ? -1.0 : (Median(walls) - harnessMs) / 1e3;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench-thumbnail OUT RUNS SIZE [MODEL...]\n");
        return 2;
    }
    const std::string out = argv[1];
    const int runs = std::max(1, std::atoi(argv[2]));
    const int size = std::atoi(argv[3]);
    std::filesystem::create_directories(out);
    std::vector<std::string> models;
    for (const ModelCase& model : ModelTable()) models.push_back(kModels + model.file);
    models.insert(models.end(), argv + 4, argv + argc);

    std::vector<std::vector<ChildRun>> ours(models.size()), f3d(models.size());
    for (int run = 0; run < runs; ++run) {
        for (size_t m = 0; m < models.size(); ++m) {
            f3d[m].push_back(RunChild(F3d(models[m], out, size)));
            ours[m].push_back(RunChild(Ours(models[m], out, size)));
            if (ours[m].back().status != 0) {
                std::fprintf(stderr, "bench-thumbnail: %s: no thumbnail (status %d)\n",
                             models[m].c_str(), ours[m].back().status);
            }
        }
    }
    ChildSpec nothing;
    nothing.argv = {"/bin/true"};
    const double harness = HarnessMs(nothing, 5);
    std::printf(
        "| thumbnail, %d px | quorvane-thumbnailer | f3d --output | against f3d |\n"
        "|---|---|---|---|\n",
        size);
    double slowestSmall = 0, worstRatio = 0;
    for (size_t m = 0; m < models.size(); ++m) {
        const double us = Seconds(ours[m], harness), them = Seconds(f3d[m], harness);
        const std::string name = std::filesystem::path(models[m]).filename().string();
        if (them < 0) {  // f3d's Debian build reads fewer formats than assimp
            std::printf("| %s | %.3f s | cannot read it | |\n", name.c_str(), us);
        } else {
            std::printf("| %s | %.3f s | %.3f s | %.2fx |\n", name.c_str(), us, them, us / them);
            worstRatio = std::max(worstRatio, us / them);
        }
        if (m < ModelTable().size()) slowestSmall = std::max(slowestSmall, us);
    }
    std::printf("| the import table's slowest | %.3f s | | worst of all: %.2fx |\n", slowestSmall,
                worstRatio);
    std::printf("\n(medians of %d runs each, taken in turn; a spawn's own %.1f ms taken off)\n",
                runs, harness);
    return 0;
}
