// Work spread over the machine's cores, for the start-up's big passes over a scene: parsing one
// large file and building the world arrays. Results never depend on how many threads ran.
#pragma once

#include <cstddef>
#include <functional>

// How many threads a pass over `bytes` bytes of work is worth: 1 below a few megabytes (a thread
// costs more than it saves there), else one per core, at most 8.
int WorkersFor(size_t bytes);

// Runs part(0) to part(parts - 1), each on a thread of its own, the caller's thread taking part 0,
// and returns when all have finished.
void RunInParallel(int parts, const std::function<void(int part)>& part);
