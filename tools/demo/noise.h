// Smooth value noise that wraps around, so that the textures tile without a seam.
#pragma once

#include <vector>

#include "tools/demo/random.h"

// One octave: a grid of random values, periodX by periodY cells, that repeats beyond it. Unequal
// periods stretch the pattern, as wood grain or brushed metal want.
struct NoiseLattice {
    int periodX = 1;
    int periodY = 1;
    std::vector<double> values;  // periodX * periodY, each in [0, 1)
};

NoiseLattice MakeNoiseLattice(Random& random, int periodX, int periodY);

// Value at (x, y), measured in lattice cells, in [0, 1); smooth, with no grid lines showing.
double SampleLattice(const NoiseLattice& lattice, double x, double y);

// Octaves of doubling frequency and halving weight: coarse blotches with fine grain on top.
struct FractalNoise {
    std::vector<NoiseLattice> octaves;
};

FractalNoise MakeFractalNoise(Random& random, int periodX, int periodY, int octaveCount);

// (u, v) in units of the whole pattern: the result repeats with period 1 in both. In [0, 1).
double SampleFractal(const FractalNoise& noise, double u, double v);
