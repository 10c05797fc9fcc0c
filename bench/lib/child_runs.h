// Programs run in fresh processes and timed from outside, for the benchmarks: a start-up is only
// a start-up in a process of its own, and the figure a user feels runs from exec to exit.
//
// A child reports figures as "name<TAB>value" lines on its standard output. A child run with
// `endAfterFirstFrame` has the first-frame preload (bench/preload/end_after_first_frame.cpp)
// loaded: a viewer in it ends after its first frame and its landmarks come back, in milliseconds
// since the spawn.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ChildSpec {
    std::vector<std::string> argv;         // argv[0]: the program, a path or found on PATH
    std::string directory;                 // working directory; empty: this one
    std::vector<std::string> environment;  // "NAME=value" entries added to (or replacing) ours
    bool endAfterFirstFrame = false;
};

struct ChildRun {
    int status = -1;                            // exit status; -1 when not started or killed
    double wallMs = -1.0;                       // from just before the spawn to the reaping
    double cpuMs = -1.0;                        // user and system time of all its threads
    std::map<std::string, double> values;       // its "name<TAB>value" lines
    std::map<std::string, double> landmarksMs;  // the preload's landmarks, since the spawn
};

ChildRun RunChild(const ChildSpec& spec);

// The runs of a benchmark program with and without the viewer's process tuning
// (app/process_tuning.h).
struct TuningRuns {
    std::vector<ChildRun> tuned, untuned;
};
// Runs `PROGRAM --one [--untuned] ARGUMENTS...` (PROGRAM beside this one) `runs` times each way,
// the two ways in turn and each round starting with the other.
TuningRuns RunWithAndWithoutTuning(const std::string& program,
                                   const std::vector<std::string>& arguments, int runs);

// The median of each value over the runs that ended with status 0 (a value missing in some runs
// takes the median of those that have it); "wall" and "cpu" are the median wall and CPU times,
// "landmark NAME" the median of each landmark.
std::map<std::string, double> MedianOfRuns(const std::vector<ChildRun>& runs);
// The median of `values`, -1 when there are none.
double Median(std::vector<double> values);

// What the harness itself costs: the median wall time of `runs` runs of `like` with its program
// replaced by /bin/true (a shell command line by "exec /bin/true"), to be taken off the figures
// of runs made the same way.
double HarnessMs(ChildSpec like, int runs);

// The path of a file beside this benchmark program (the build's bench/ folder).
std::string BesideThisProgram(const std::string& name);
// Milliseconds on CLOCK_MONOTONIC, the clock every process shares.
double NowMs();
