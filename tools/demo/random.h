// A small generator of pseudo-random numbers for the demo world.
//
// Our own xorshift rather than <random>: the standard distributions may give other numbers on
// another library version, and the demo must come out byte for byte the same everywhere.
#pragma once

#include <cstdint>

struct Random {
    uint32_t state;  // never 0: xorshift would stay at 0 for ever
};

inline Random MakeRandom(uint32_t seed) {
    return Random{seed != 0 ? seed : 0x9E3779B9u};
}

inline uint32_t NextBits(Random& random) {
    uint32_t s = random.state;
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    random.state = s;
    return s;
}

// Uniform in [0, 1), on a grid of 2^-24 so that every value converts to a double exactly.
inline double NextUnit(Random& random) {
    return (NextBits(random) >> 8) * (1.0 / 16777216.0);
}

// Uniform in [low, high).
inline double NextRange(Random& random, double low, double high) {
    return low + (high - low) * NextUnit(random);
}

// Uniform integer in [low, high].
inline int NextInt(Random& random, int low, int high) {
    return low + static_cast<int>(NextBits(random) % static_cast<uint32_t>(high - low + 1));
}
