// Measures the frame rate of the viewer's own start-up and frame loop on the scene in the working
// directory: the viewer itself never measures or prints one. The first second is left out, so
// that start-up and the first frames' warm-up do not count.
// Usage: quorvane_frame_rate [seconds measured, default 3]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/driver.h"

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    if (!(seconds > 0.0)) {
        std::fprintf(stderr, "usage: %s [seconds > 0]\n", argv[0]);
        return 2;
    }
    Driver driver;
    // Runs passes for `span` seconds; false when the loop ended before.
    const auto runFor = [&driver](double span) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(span);
        while (std::chrono::steady_clock::now() < end) {
            if (driver.done || driver.failedStatus != kStillRunning) return false;
            RunLoopPass(driver);
        }
        return true;
    };
    if (!StartViewer(driver) || !runFor(1.0)) {
        std::fprintf(stderr, "the viewer stopped in its first second (status %d)\n",
                     driver.failedStatus);
        return 1;
    }
    const uint64_t firstFrame = driver.frameCount;
    const auto start = std::chrono::steady_clock::now();
    const bool ran = runFor(seconds);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const double frames = static_cast<double>(driver.frameCount - firstFrame);
    EndViewer(driver);
    if (!ran) std::fprintf(stderr, "the frame loop ended before the measurement did\n");
    std::printf("%.0f frames in %.2f s: %.1f frames per second\n", frames, elapsed.count(),
                frames / elapsed.count());
    return ran ? 0 : 1;
}
