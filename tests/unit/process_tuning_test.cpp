// Guards the process tuning of the programs that draw (app/process_tuning.h).
#include <gtest/gtest.h>
#include <malloc.h>  // mallinfo2: what the heap holds

#include <cstdlib>
#include <vector>

#include "app/process_tuning.h"

// Catches a tuning that glibc refuses or that still trims the heap: the 64 KiB blocks Mesa's
// renderer frees after every frame would then go back to the kernel and be faulted in again, page
// by page, on the next frame.
TEST(ProcessTuning, FreedRendererBlocksStayInTheHeap) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer has its own allocator, which mallopt does not set";
#else
    TuneProcessForRenderer();
    constexpr size_t kBlock = 64 << 10, kBlocks = 1024;  // 64 MiB, as one large frame's bins
    std::vector<void*> blocks;
    for (size_t i = 0; i < kBlocks; ++i) blocks.push_back(std::malloc(kBlock));
    const size_t grown = mallinfo2().arena;
    for (void* block : blocks) std::free(block);
    EXPECT_GE(mallinfo2().arena, grown);
    EXPECT_GE(grown, kBlock * kBlocks);
#endif
}
