// Measures the frame rate of the viewer's own start-up and frame loop on the scene in the working
// directory: the viewer itself never measures or prints one. The first second is left out, so
// that start-up and the first frames' warm-up do not count.
// Usage: bench-frame-rate [seconds measured, default 3], on a display (bench/run gives it Xvfb).
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/viewer.h"

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    if (!(seconds > 0.0)) {
        std::fprintf(stderr, "usage: %s [seconds > 0]\n", argv[0]);
        return 2;
    }
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
    const auto start = std::chrono::steady_clock::now();
    const bool ran = runFor(seconds);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const double frames = static_cast<double>(viewer.frameCount - firstFrame);
    EndViewer(viewer);
    if (!ran) std::fprintf(stderr, "the frame loop ended before the measurement did\n");
    std::printf("%.0f frames in %.2f s: %.1f frames per second\n", frames, elapsed.count(),
                frames / elapsed.count());
    return ran ? 0 : 1;
}
