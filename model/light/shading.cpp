#include "model/light/shading.h"

#include <algorithm>  // min
#include <cmath>

#include "model/records/viewpoint.h"  // kViewYaw: where the camera stands

namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180.0;

// The key light comes from 40 degrees to the left of the camera's own bearing and 50 degrees
// above the horizon.
constexpr double kKeyAzimuth = kViewYaw - 40.0;
constexpr double kKeyElevation = 50.0;
constexpr double kKey = 0.62;     // at most, for a surface facing the key light
constexpr double kSky = 0.40;     // ambient of a surface facing up
constexpr double kGround = 0.22;  // ambient of a surface facing down

// The direction towards the key light, a unit vector; the camera looks from (sin, _, cos) of
// its yaw, as framing.h places it.
struct Direction {
    double x, y, z;
};
const Direction kKeyLight{std::cos(kKeyElevation * kDegrees) * std::sin(kKeyAzimuth * kDegrees),
                          std::sin(kKeyElevation* kDegrees),
                          std::cos(kKeyElevation* kDegrees) * std::cos(kKeyAzimuth* kDegrees)};

// Brightness from the two dot products, each from -1 to 1.
double BrightnessOf(double towardsLight, double towardsSky) {
    const double ambient = kGround + (kSky - kGround) * (0.5 + 0.5 * towardsSky);
    return std::min(1.0, ambient + kKey * std::max(0.0, towardsLight));
}

// A dot product from -1 to 1 as a coordinate between the centres of the first and last texel.
float Coordinate(double dot) {
    const double t = 0.5 + 0.5 * std::max(-1.0, std::min(1.0, dot));
    return static_cast<float>((0.5 + t * (kShadingSide - 1)) / kShadingSide);
}

}  // namespace

double Brightness(const Normal& n) {
    return BrightnessOf(n.x * kKeyLight.x + n.y * kKeyLight.y + n.z * kKeyLight.z, n.y);
}

void ShadingCoordinates(const Normal& n, float& u, float& v) {
    u = Coordinate(n.x * kKeyLight.x + n.y * kKeyLight.y + n.z * kKeyLight.z);
    v = Coordinate(n.y);
}

Image ShadingTexture(const float colour[3]) {
    Image texture = MakeImage(kShadingSide, kShadingSide, false);
    for (int row = 0; row < kShadingSide; ++row) {
        const double towardsSky = 2.0 * row / (kShadingSide - 1) - 1.0;
        for (int column = 0; column < kShadingSide; ++column) {
            const double towardsLight = 2.0 * column / (kShadingSide - 1) - 1.0;
            const double shade = 255.0 * BrightnessOf(towardsLight, towardsSky);
            SetPixel(texture, column, row,
                     Rgb{colour[0] * shade, colour[1] * shade, colour[2] * shade});
        }
    }
    return texture;
}

Image ColourTexture(double red, double green, double blue) {
    Image texture = MakeImage(1, 1, false);
    SetPixel(texture, 0, 0, Rgb{red * 255.0, green * 255.0, blue * 255.0});
    return texture;
}
