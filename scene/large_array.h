// Allocation of the big vertex and face arrays.
//
// Large blocks come straight from the kernel, advised for huge pages, so that filling them costs
// a fraction of the page faults that malloc's 4 KiB pages would; small ones come from malloc.
// Both are released with the byte count they were allocated with.
#pragma once

#include <cstddef>
#include <cstdint>

// Uninitialised storage for `bytes` bytes; null when bytes is 0 or the memory is not to be had.
void* AllocateLarge(size_t bytes);
void ReleaseLarge(void* block, size_t bytes);

template <typename T>
T* AllocateArray(int64_t count) {
    if (count <= 0 || static_cast<uint64_t>(count) > SIZE_MAX / sizeof(T)) return nullptr;
    return static_cast<T*>(AllocateLarge(static_cast<size_t>(count) * sizeof(T)));
}

template <typename T>
void ReleaseArray(T* array, int64_t count) {
    if (count > 0) ReleaseLarge(array, static_cast<size_t>(count) * sizeof(T));
}
