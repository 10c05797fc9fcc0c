#include "scene/large_array.h"

#include <cstdlib>     // malloc, free for small blocks
#include <sys/mman.h>  // mmap, madvise(MADV_HUGEPAGE)

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
// Below this a block is not worth a mapping of its own.
constexpr size_t kLargeBlock = size_t{1} << 20;

size_t MappedSize(size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}
}  // namespace

void* AllocateLarge(size_t bytes) {
    if (bytes == 0) return nullptr;
    if (bytes < kLargeBlock) return std::malloc(bytes);
    if (bytes > SIZE_MAX - kHugePage) return nullptr;
    // Over-map by one huge page so that the block can start on a 2 MiB boundary, which the
    // kernel needs before it backs the range with huge pages.
    const size_t size = MappedSize(bytes);
    void* mapping = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapping == MAP_FAILED) return nullptr;
    const uintptr_t start = reinterpret_cast<uintptr_t>(mapping);
    const uintptr_t aligned = (start + kHugePage - 1) & ~(uintptr_t{kHugePage} - 1);
    if (aligned > start) munmap(mapping, aligned - start);
    const size_t tail = (start + size + kHugePage) - (aligned + size);
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void ReleaseLarge(void* block, size_t bytes) {
    if (block == nullptr || bytes == 0) return;
    if (bytes < kLargeBlock) {
        std::free(block);
        return;
    }
    munmap(block, MappedSize(bytes));
}
