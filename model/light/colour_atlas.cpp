#include "model/light/colour_atlas.h"

#include <algorithm>  // max, min
#include <cmath>      // abs

namespace {

double Clamp(double value) {
    return std::max(0.0, std::min(255.0, value));
}

// The fourth texel of a tile whose corners a (the right angle), b and c sit at three texel
// centres: with d = b + c - a the bilinear filter is exactly linear across the face. Clamped, it
// is not; how far off it is, summed over the channels.
double FourthError(const Rgb& a, const Rgb& b, const Rgb& c, Rgb& d) {
    const Rgb exact{b.r + c.r - a.r, b.g + c.g - a.g, b.b + c.b - a.b};
    d = Rgb{Clamp(exact.r), Clamp(exact.g), Clamp(exact.b)};
    return std::abs(d.r - exact.r) + std::abs(d.g - exact.g) + std::abs(d.b - exact.b);
}

}  // namespace

Image ColourAtlas(const std::vector<Rgb>& colours, std::vector<AtlasCorner>& corners) {
    const size_t faces = colours.size() / 3;
    int width = 2, height = 2;  // texels; each tile is 2 x 2
    while (static_cast<size_t>(width / 2) * (height / 2) < faces) {
        (width <= height ? width : height) *= 2;
    }
    Image atlas = MakeImage(width, height, false);
    corners.resize(faces * 3);
    const int tilesPerRow = width / 2;
    for (size_t f = 0; f < faces; ++f) {
        const int x = static_cast<int>(f % tilesPerRow) * 2,
                  y = static_cast<int>(f / tilesPerRow) * 2;
        // The corner at the right angle is the one that needs the least clamping.
        int best = 0;
        double bestError = 1e30;
        Rgb fourth{};
        for (int k = 0; k < 3; ++k) {
            Rgb d;
            const double error = FourthError(colours[f * 3 + k], colours[f * 3 + (k + 1) % 3],
                                             colours[f * 3 + (k + 2) % 3], d);
            if (error < bestError) {
                best = k;
                bestError = error;
                fourth = d;
            }
        }
        const int tileX[3] = {0, 1, 0}, tileY[3] = {0, 0, 1};  // right angle, along u, along v
        for (int k = 0; k < 3; ++k) {
            const int corner = (best + k) % 3;
            SetPixel(atlas, x + tileX[k], y + tileY[k], colours[f * 3 + corner]);
            corners[f * 3 + corner] =
                AtlasCorner{static_cast<float>((x + tileX[k] + 0.5) / width),
                            static_cast<float>((y + tileY[k] + 0.5) / height)};
        }
        SetPixel(atlas, x + 1, y + 1, fourth);
    }
    return atlas;
}
