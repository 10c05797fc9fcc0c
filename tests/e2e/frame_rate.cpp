// Measures the frame rate of the viewer's own start-up and frame loop on the scene in the working
// directory: the viewer itself never measures or prints one. The first second is left out, so
// that start-up and the first frames' warm-up do not count.
// Usage: quorvane_frame_rate [seconds measured, default 3]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/driver.h"

namespace {

using Clock = std::chrono::steady_clock;

// Runs passes until `seconds` have gone by or the loop ends; false when it ended.
bool RunFor(Driver& driver, double seconds) {
    const Clock::time_point end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                     std::chrono::duration<double>(seconds));
    while (Clock::now() < end) {
        if (driver.done || driver.failedStatus != kStillRunning) return false;
        RunLoopPass(driver);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    if (!(seconds > 0.0)) {
        std::fprintf(stderr, "usage: %s [seconds > 0]\n", argv[0]);
        return 2;
    }
    Driver driver;
    if (!StartViewer(driver)) {
        std::fprintf(stderr, "the viewer did not start (status %d)\n", driver.failedStatus);
        return 1;
    }
    bool ran = RunFor(driver, 1.0);
    const uint64_t firstFrame = driver.frameCount;
    const Clock::time_point start = Clock::now();
    ran = ran && RunFor(driver, seconds);
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const uint64_t frames = driver.frameCount - firstFrame;
    driver.done = true;
    EndViewer(driver);
    if (!ran) {
        std::fprintf(stderr, "the frame loop ended before the measurement did\n");
        return 1;
    }
    std::printf("%llu frames in %.2f s: %.1f frames per second\n",
                static_cast<unsigned long long>(frames), elapsed, frames / elapsed);
    return 0;
}
