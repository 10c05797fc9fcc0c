#include "tools/demo/noise.h"

#include <cmath>  // floor

namespace {

double LatticeValue(const NoiseLattice& lattice, int i, int j) {
    i = ((i % lattice.periodX) + lattice.periodX) % lattice.periodX;
    j = ((j % lattice.periodY) + lattice.periodY) % lattice.periodY;
    return lattice.values[static_cast<size_t>(j) * lattice.periodX + i];
}

}  // namespace

NoiseLattice MakeNoiseLattice(Random& random, int periodX, int periodY) {
    NoiseLattice lattice;
    lattice.periodX = periodX;
    lattice.periodY = periodY;
    lattice.values.resize(static_cast<size_t>(periodX) * periodY);
    for (double& value : lattice.values) value = NextUnit(random);
    return lattice;
}

// Smoothstep between the four nearest values keeps the gradient continuous.
double SampleLattice(const NoiseLattice& lattice, double x, double y) {
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

FractalNoise MakeFractalNoise(Random& random, int periodX, int periodY, int octaveCount) {
    FractalNoise noise;
    for (int k = 0; k < octaveCount; ++k) {
        noise.octaves.push_back(MakeNoiseLattice(random, periodX << k, periodY << k));
    }
    return noise;
}

double SampleFractal(const FractalNoise& noise, double u, double v) {
    double sum = 0.0, weight = 1.0, total = 0.0;
    for (const NoiseLattice& octave : noise.octaves) {
        sum += weight * SampleLattice(octave, u * octave.periodX, v * octave.periodY);
        total += weight;
        weight *= 0.5;
    }
    return sum / total;
}
