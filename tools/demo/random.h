// A small generator of pseudo-random numbers for the demo world.
//
// Our own xorshift rather than <random>: the standard distributions may give other numbers on
// another library version, and the demo must come out byte for byte the same everywhere.
#pragma once

#include <cstdint>

struct Random {
    uint32_t state;  // never 0: xorshift would stay at 0 for ever
};

Random MakeRandom(uint32_t seed);

// Uniform in [0, 1), on a grid of 2^-24 so that every value converts to a double exactly.
double NextUnit(Random& random);

// Uniform in [low, high).
double NextRange(Random& random, double low, double high);

// Uniform integer in [low, high].
int NextInt(Random& random, int low, int high);
