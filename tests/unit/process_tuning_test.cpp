// Guards the process tuning of the programs that draw or import (app/process_tuning.h).
#include <gtest/gtest.h>
#include <malloc.h>  // mallinfo2: what the heap holds

#include <cstdlib>
#include <vector>

#include "app/process_tuning.h"

#if defined(__SANITIZE_ADDRESS__)
#define SKIP_UNDER_SANITIZER() \
    GTEST_SKIP() << "AddressSanitizer has its own allocator, which mallopt does not set"
#else
#define SKIP_UNDER_SANITIZER() (void)0
#endif

// Catches a tuning that glibc refuses or that still trims the heap: the 64 KiB blocks Mesa's
// renderer frees after every frame would then go back to the kernel and be faulted in again, page
// by page, on the next frame.
TEST(ProcessTuning, FreedRendererBlocksStayInTheHeap) {
    SKIP_UNDER_SANITIZER();
    TuneProcess();
    constexpr size_t kBlock = 64 << 10, kBlocks = 1024;  // 64 MiB, as one large frame's bins
    std::vector<void*> blocks;
    for (size_t i = 0; i < kBlocks; ++i) blocks.push_back(std::malloc(kBlock));
    const size_t grown = mallinfo2().arena;
    for (void* block : blocks) std::free(block);
    EXPECT_GE(mallinfo2().arena, grown);
    EXPECT_GE(grown, kBlock * kBlocks);
}

// Catches large blocks given mappings of their own (the mmap threshold left at glibc's 128 KiB,
// which raising the trim threshold freezes) once the heap's padding is used up, and a freed block
// whose memory is not handed out again: the importer's arrays and Mesa's vertex stores would each
// be faulted in afresh.
TEST(ProcessTuning, LargeBlocksComeFromTheHeapAndAreReused) {
    SKIP_UNDER_SANITIZER();
    TuneProcess();
    constexpr size_t kLarge = 24 << 20, kCount = 24;  // a million-face model's arrays, and more
    const size_t mappedBefore = mallinfo2().hblkhd;
    std::vector<char*> blocks;
    for (size_t i = 0; i < kCount; ++i) {
        blocks.push_back(static_cast<char*>(std::malloc(kLarge)));
        ASSERT_NE(blocks.back(), nullptr);
        blocks.back()[0] = 1;  // the rest is never touched: no memory is spent on it
    }
    EXPECT_EQ(mallinfo2().hblkhd, mappedBefore) << "blocks were mapped on their own";
    for (char* block : blocks) std::free(block);
    const size_t held = mallinfo2().arena;
    char* again = static_cast<char*>(std::malloc(kLarge));
    EXPECT_EQ(mallinfo2().arena, held) << "the heap grew instead of handing freed memory out again";
    std::free(again);
}
