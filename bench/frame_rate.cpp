// The frame rate of the viewer's own start-up and frame loop on the scene in the working
// directory, in a real window (bench/run gives it Xvfb, where a buffer swap copies the finished
// frame to the window, so frames are counted as drawn): the viewer itself never measures or
// prints one. The first second is left out, so that start-up and the first frames' warm-up do
// not count.
//
// Usage: bench-frame-rate LABEL [SECONDS] [RUNS]: RUNS fresh processes (default 3) with the
// viewer's process tuning (app/process_tuning.h) and as many without, taken in turn, each
// measuring SECONDS (default 3); prints one row with the medians of both, side by side.
// bench-frame-rate --one [--untuned] SECONDS: one run, printing "frames per second<TAB>value".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/process_tuning.h"
#include "app/viewer.h"
#include "bench/lib/child_runs.h"
#include "bench/lib/process_figures.h"

namespace {

int RunOnce(bool tuned, double seconds) {
    if (tuned) TuneProcess();
    Viewer viewer;
    // Runs passes for `span` seconds; false when the loop ended before.
    const auto runFor = [&viewer](double span) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(span);
        while (std::chrono::steady_clock::now() < end) {
            if (viewer.done || viewer.failedStatus != kStillRunning) return false;
            RunLoopPass(viewer);
        }
        return true;
    };
    if (!StartViewer(viewer) || !runFor(1.0)) {
        std::fprintf(stderr, "the viewer stopped in its first second (status %d)\n",
                     viewer.failedStatus);
        return 1;
    }
    const uint64_t firstFrame = viewer.frameCount;
    const double faults = PageFaults();
    const auto start = std::chrono::steady_clock::now();
    const bool ran = runFor(seconds);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const double frames = static_cast<double>(viewer.frameCount - firstFrame);
    std::printf("frames per second\t%.2f\nfaults per frame\t%.1f\n", frames / elapsed.count(),
                (PageFaults() - faults) / frames);
    std::printf("peak MB\t%.1f\n", PeakResidentMB());
    EndViewer(viewer);
    if (!ran) std::fprintf(stderr, "the frame loop ended before the measurement did\n");
    return ran ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() >= 2 && arguments[0] == "--one") {
        const bool tuned = arguments[1] != "--untuned";
        const double seconds = std::atof(arguments.back().c_str());
        if (seconds > 0.0 && arguments.size() == (tuned ? 2u : 3u)) return RunOnce(tuned, seconds);
    }
    const double seconds = arguments.size() > 1 ? std::atof(arguments[1].c_str()) : 3.0;
    const int runs = arguments.size() > 2 ? std::atoi(arguments[2].c_str()) : 3;
    if (arguments.empty() || arguments[0] == "--one" || !(seconds > 0.0) || runs < 1) {
        std::fprintf(stderr, "usage: %s LABEL [SECONDS > 0] [RUNS > 0]\n", argv[0]);
        return 2;
    }
    const TuningRuns results =
        RunWithAndWithoutTuning("bench-frame-rate", {std::to_string(seconds)}, runs);
    std::map<std::string, double> with = MedianOfRuns(results.tuned);
    std::map<std::string, double> without = MedianOfRuns(results.untuned);
    const double rateWith = with["frames per second"], rateWithout = without["frames per second"];
    std::printf(
        "| draw: the viewer's frame loop on %s, Xvfb | %.1f frames/s (%.0f page faults a frame) | "
        "without the process tuning %.1f frames/s (%.0f page faults a frame): %.2fx |\n",
        arguments[0].c_str(), rateWith, with["faults per frame"], rateWithout,
        without["faults per frame"], rateWith / rateWithout);
    return rateWith > 0 && rateWithout > 0 ? 0 : 1;
}
