#include "bench/lib/child_runs.h"

#include <fcntl.h>         // O_WRONLY for the child's output
#include <spawn.h>         // posix_spawn: a fresh process without fork's copy of a large parent
#include <sys/resource.h>  // rusage: the child's CPU time
#include <sys/wait.h>      // wait4
#include <time.h>          // clock_gettime
#include <unistd.h>        // getpid, readlink

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

extern char** environ;

namespace {

// Our environment with `added` entries in place of those of the same name.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& added) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('=') + 1);
        const bool replaced = std::any_of(added.begin(), added.end(), [&](const std::string& a) {
            return a.compare(0, name.size(), name) == 0;
        });
        if (!replaced) entries.push_back(text);
    }
    entries.insert(entries.end(), added.begin(), added.end());
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// "name<TAB>number" lines of a file.
std::map<std::string, double> ReadValues(const std::string& path) {
    std::map<std::string, double> values;
    std::ifstream lines(path);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos) values[line.substr(0, tab)] = std::atof(&line[tab + 1]);
    }
    return values;
}

}  // namespace

double NowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

std::string BesideThisProgram(const std::string& name) {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return name;
    const std::string self(path, static_cast<size_t>(length));
    return self.substr(0, self.rfind('/') + 1) + name;
}

ChildRun RunChild(const ChildSpec& spec) {
    const std::string stem = "/tmp/bench-child-" + std::to_string(getpid());
    const std::string output = stem + ".out", log = stem + ".frames";
    std::remove(log.c_str());
    std::vector<std::string> added = spec.environment;
    if (spec.endAfterFirstFrame) {
        added.push_back("LD_PRELOAD=" + BesideThisProgram("bench-end-after-first-frame.so"));
        added.push_back("QUORVANE_FRAME_LOG=" + log);
    }
    std::vector<std::string> environment = ChildEnvironment(added);
    std::vector<std::string> argv = spec.argv;
    std::vector<char*> argvPointers = Pointers(argv), environmentPointers = Pointers(environment);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (!spec.directory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, spec.directory.c_str());
    }
    ChildRun run;
    pid_t child = -1;
    const double spawned = NowMs();
    if (posix_spawnp(&child, argv[0].c_str(), &actions, nullptr, argvPointers.data(),
                     environmentPointers.data()) == 0) {
        int status = 0;
        rusage usage;
        wait4(child, &status, 0, &usage);
        run.wallMs = NowMs() - spawned;
        run.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                    (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.values = ReadValues(output);
        for (const auto& [landmark, ns] : ReadValues(log)) {
            run.landmarksMs[landmark] = ns / 1e6 - spawned;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    std::remove(output.c_str());
    std::remove(log.c_str());
    return run;
}

TuningRuns RunWithAndWithoutTuning(const std::string& program,
                                   const std::vector<std::string>& arguments, int runs) {
    TuningRuns result;
    for (int run = 0; run < runs; ++run) {
        for (const bool tuned : {run % 2 == 0, run % 2 != 0}) {
            ChildSpec spec;
            spec.argv = {BesideThisProgram(program), "--one"};
            if (!tuned) spec.argv.push_back("--untuned");
            spec.argv.insert(spec.argv.end(), arguments.begin(), arguments.end());
            (tuned ? result.tuned : result.untuned).push_back(RunChild(spec));
        }
    }
    return result;
}

double Median(std::vector<double> values) {
    if (values.empty()) return -1.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::map<std::string, double> MedianOfRuns(const std::vector<ChildRun>& runs) {
    std::map<std::string, std::vector<double>> samples;
    for (const ChildRun& run : runs) {
        if (run.status != 0) continue;
        samples["wall"].push_back(run.wallMs);
        samples["cpu"].push_back(run.cpuMs);
        for (const auto& [name, value] : run.values) samples[name].push_back(value);
        for (const auto& [name, ms] : run.landmarksMs) samples["landmark " + name].push_back(ms);
    }
    std::map<std::string, double> medians;
    for (const auto& [name, values] : samples) medians[name] = Median(values);
    return medians;
}

double HarnessMs(ChildSpec like, int runs) {
    const bool shell = like.argv.size() == 3 && like.argv[1] == "-c";
    like.argv = shell ? std::vector<std::string>{like.argv[0], "-c", "exec /bin/true"}
                      : std::vector<std::string>{"/bin/true"};
    std::vector<double> walls;
    for (int i = 0; i < runs; ++i) walls.push_back(RunChild(like).wallMs);
    return Median(walls);
}
