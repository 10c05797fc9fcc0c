#include "bench/lib/scan_sphere.h"

#include <cmath>

#include "tools/demo/random.h"  // the demo's generator: the same numbers everywhere

namespace {

constexpr double kPi = 3.14159265358979323846;

// The surface's distance from the centre in the direction (polar, azimuth): a sphere with broad
// bumps, the noise added by the caller.
double Radius(double polar, double azimuth) {
    return 1.0 + 0.08 * std::sin(3.0 * polar) * std::cos(2.0 * azimuth) +
           0.05 * std::cos(5.0 * polar);
}

}  // namespace

TriangleMesh ScanLikeSphere(int64_t faces, uint32_t seed) {
    // Latitude bands `bands`, with 2 * bands vertices round each of the bands - 1 circles between
    // the poles: 4 * bands * (bands - 1) faces.
    int64_t bands = 2;
    while (4 * bands * (bands - 1) < faces) ++bands;
    const int64_t around = 2 * bands;
    Random random = MakeRandom(seed);
    TriangleMesh mesh;
    const auto emit = [&](double polar, double azimuth) {
        const double r = Radius(polar, azimuth) + NextRange(random, -0.002, 0.002);
        mesh.positions.insert(mesh.positions.end(),
                              {static_cast<float>(r * std::sin(polar) * std::cos(azimuth)),
                               static_cast<float>(r * std::sin(polar) * std::sin(azimuth)),
                               static_cast<float>(r * std::cos(polar))});
    };
    emit(0.0, 0.0);  // vertex 0: the north pole
    for (int64_t ring = 1; ring < bands; ++ring) {
        for (int64_t step = 0; step < around; ++step) {
            emit(kPi * ring / bands, 2.0 * kPi * step / around);
        }
    }
    emit(kPi, 0.0);  // the last vertex: the south pole
    const int32_t south = static_cast<int32_t>(mesh.positions.size() / 3 - 1);
    const auto at = [around](int64_t ring, int64_t step) {
        return static_cast<int32_t>(1 + (ring - 1) * around + step % around);
    };
    for (int64_t step = 0; step < around; ++step) {
        mesh.corners.insert(mesh.corners.end(), {0, at(1, step), at(1, step + 1)});
        for (int64_t ring = 1; ring + 1 < bands; ++ring) {
            const int32_t a = at(ring, step), b = at(ring + 1, step);
            const int32_t c = at(ring + 1, step + 1), d = at(ring, step + 1);
            mesh.corners.insert(mesh.corners.end(), {a, b, c, a, c, d});
        }
        mesh.corners.insert(mesh.corners.end(),
                            {at(bands - 1, step), south, at(bands - 1, step + 1)});
    }
    return mesh;
}
