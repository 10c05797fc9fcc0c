// Smooth value noise that wraps around, so that the textures tile without a seam.
#pragma once

#include <cmath>  // floor
#include <vector>

#include "tools/demo/random.h"

// One octave: a grid of random values, periodX by periodY cells, that repeats beyond it. Unequal
// periods stretch the pattern, as wood grain or brushed metal want.
struct NoiseLattice {
    int periodX = 1;
    int periodY = 1;
    std::vector<double> values;  // periodX * periodY, each in [0, 1)
};

inline NoiseLattice MakeNoiseLattice(Random& random, int periodX, int periodY) {
    NoiseLattice lattice;
    lattice.periodX = periodX;
    lattice.periodY = periodY;
    lattice.values.resize(static_cast<size_t>(periodX) * periodY);
    for (double& value : lattice.values) value = NextUnit(random);
    return lattice;
}

inline double LatticeValue(const NoiseLattice& lattice, int i, int j) {
    i = ((i % lattice.periodX) + lattice.periodX) % lattice.periodX;
    j = ((j % lattice.periodY) + lattice.periodY) % lattice.periodY;
    return lattice.values[static_cast<size_t>(j) * lattice.periodX + i];
}

// Value at (x, y), measured in lattice cells; smoothstep between the four nearest values keeps
// the gradient continuous, so no grid lines show.
inline double SampleLattice(const NoiseLattice& lattice, double x, double y) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int i = static_cast<int>(fx), j = static_cast<int>(fy);
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3.0 - 2.0 * tx);
    ty = ty * ty * (3.0 - 2.0 * ty);
    const double bottom = LatticeValue(lattice, i, j) +
                          (LatticeValue(lattice, i + 1, j) - LatticeValue(lattice, i, j)) * tx;
    const double top = LatticeValue(lattice, i, j + 1) +
                       (LatticeValue(lattice, i + 1, j + 1) - LatticeValue(lattice, i, j + 1)) * tx;
    return bottom + (top - bottom) * ty;
}

// Octaves of doubling frequency and halving weight: coarse blotches with fine grain on top.
struct FractalNoise {
    std::vector<NoiseLattice> octaves;
};

inline FractalNoise MakeFractalNoise(Random& random, int periodX, int periodY, int octaveCount) {
    FractalNoise noise;
    for (int k = 0; k < octaveCount; ++k) {
        noise.octaves.push_back(MakeNoiseLattice(random, periodX << k, periodY << k));
    }
    return noise;
}

// (u, v) in units of the whole pattern: the result repeats with period 1 in both. In [0, 1).
inline double SampleFractal(const FractalNoise& noise, double u, double v) {
    double sum = 0.0, weight = 1.0, total = 0.0;
    for (const NoiseLattice& octave : noise.octaves) {
        sum += weight * SampleLattice(octave, u * octave.periodX, v * octave.periodY);
        total += weight;
        weight *= 0.5;
    }
    return sum / total;
}
