// What confining the model reader costs: the three largest files of assimp-testmodels that
// import, each read in a confined child (fork, sandbox, the answer through a pipe and decoded
// with its checks) and read in process as the importer once did. Each read runs in a fresh
// process of its own, as small as quorvane-import is when it reads, so that neither way inherits
// the other's heap; the two ways take turns, medians of RUNS. Prints rows of bench/run's table.
// Usage: bench-import [RUNS]   (default 5)
#include <algorithm>  // sort
#include <chrono>
#include <cstdio>
#include <cstdlib>  // atoi, exit
#include <sys/wait.h>
#include <unistd.h>  // fork, pipe
#include <string>
#include <vector>

#include "model/confine/confined_read.h"
#include "model/read/read_model.h"

namespace {

const char* const kModels[] = {"IFC/AC14-FZK-Haus.ifc", "CSM/ThomasFechten.csm", "BVH/01_03.bvh"};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds one read of `path` takes, in a fresh child process.
double TimeRead(bool confined, const std::string& path) {
    int result[2];
    if (pipe(result) != 0) std::exit(1);
    if (fork() == 0) {
        const auto start = std::chrono::steady_clock::now();
        ModelData model;
        std::string error;
        if (!(confined ? ReadConfined(path, 60, ReadModel, model, error)
                       : ReadModel(path, model, error))) {
            std::fprintf(stderr, "bench-import: %s: %s\n", path.c_str(), error.c_str());
            _exit(1);
        }
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        _exit(write(result[1], &ms, sizeof(ms)) == sizeof(ms) ? 0 : 1);
    }
    close(result[1]);
    double ms = 0.0;
    const bool got = read(result[0], &ms, sizeof(ms)) == sizeof(ms);
    close(result[0]);
    int status = 0;
    wait(&status);
    if (!got) std::exit(1);
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    for (const char* name : kModels) {
        const std::string path = std::string("/usr/share/assimp/models/") + name;
        std::vector<double> confined, inProcess;
        for (int i = 0; i < runs; ++i) {
            confined.push_back(TimeRead(true, path));
            inProcess.push_back(TimeRead(false, path));
        }
        std::printf("| import: read %s confined / in process | %.0f / %.0f ms | %.2fx |\n", name,
                    Median(confined), Median(inProcess), Median(confined) / Median(inProcess));
    }
    return 0;
}
