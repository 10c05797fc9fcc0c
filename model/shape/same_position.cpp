#include "model/shape/same_position.h"

#include <cstring>  // memcpy

// An open-addressing table over the coordinates' bits.
std::vector<uint32_t> SamePositions(const std::vector<float>& positions) {
    const size_t n = positions.size() / 3;
    size_t size = 16;
    while (size < n * 2) size *= 2;
    std::vector<uint32_t> table(size, UINT32_MAX);
    std::vector<uint32_t> same(n);
    for (size_t v = 0; v < n; ++v) {
        uint32_t bits[3];
        for (int k = 0; k < 3; ++k) {
            const float coordinate = positions[v * 3 + k] + 0.0f;  // -0 becomes +0
            std::memcpy(&bits[k], &coordinate, sizeof coordinate);
        }
        uint64_t hash = (bits[0] * 0x9E3779B97F4A7C15ull) ^ (bits[1] * 0xC2B2AE3D27D4EB4Full) ^
                        (bits[2] * 0x165667B19E3779F9ull);
        hash ^= hash >> 29;
        for (size_t slot = hash & (size - 1);; slot = (slot + 1) & (size - 1)) {
            const uint32_t there = table[slot];
            if (there == UINT32_MAX) {
                table[slot] = static_cast<uint32_t>(v);
                same[v] = static_cast<uint32_t>(v);
                break;
            }
            if (positions[there * 3] + 0.0f == positions[v * 3] + 0.0f &&
                positions[there * 3 + 1] + 0.0f == positions[v * 3 + 1] + 0.0f &&
                positions[there * 3 + 2] + 0.0f == positions[v * 3 + 2] + 0.0f) {
                same[v] = there;
                break;
            }
        }
    }
    return same;
}
