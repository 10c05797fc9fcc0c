#include "scene/parallel.h"

#include <algorithm>
#include <thread>
#include <vector>

int WorkersFor(size_t bytes) {
    constexpr size_t kWorthAThread = size_t{4} << 20;
    if (bytes < kWorthAThread) return 1;
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores, 1, 8);
}

void RunInParallel(int parts, const std::function<void(int part)>& part) {
    std::vector<std::thread> threads;
    for (int i = 1; i < parts; ++i) threads.emplace_back(part, i);
    if (parts > 0) part(0);
    for (std::thread& thread : threads) thread.join();
}
