// An image being painted, and its encoding as the uncompressed TGA file the viewer accepts.
#pragma once

#include <cmath>  // lround
#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    double r, g, b;  // 0 to 255; painting may overshoot, storing clamps
};

struct Image {
    int width = 0;
    int height = 0;
    bool alpha = false;         // written as 32 bits per pixel when true, else 24
    std::vector<uint8_t> rgba;  // 4 bytes per pixel, row 0 first; row 0 is the bottom (v = 0)
};

inline Image MakeImage(int width, int height, bool alpha) {
    Image image;
    image.width = width;
    image.height = height;
    image.alpha = alpha;
    image.rgba.assign(static_cast<size_t>(width) * height * 4, 255);
    return image;
}

inline uint8_t ToByte(double value) {
    if (value <= 0.0) return 0;
    if (value >= 255.0) return 255;
    return static_cast<uint8_t>(std::lround(value));
}

inline void SetPixel(Image& image, int x, int y, Rgb color, double alpha = 255.0) {
    uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
    p[0] = ToByte(color.r);
    p[1] = ToByte(color.g);
    p[2] = ToByte(color.b);
    p[3] = ToByte(alpha);
}

inline Rgb Scale(Rgb c, double factor) {
    return Rgb{c.r * factor, c.g * factor, c.b * factor};
}

inline Rgb Mix(Rgb a, Rgb b, double t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// The 18-byte header (true-colour, no ID, no colour map, zero origin) and the pixels as B, G, R
// (then A). Rows go out bottom row first, which the descriptor's zero origin bit says, so that
// v = 0 is the bottom of the picture as GL sees it.
inline std::string EncodeTga(const Image& image) {
    const int bytesPerPixel = image.alpha ? 4 : 3;
    std::string out(18, '\0');
    out[2] = 2;
    out[12] = static_cast<char>(image.width & 0xFF);
    out[13] = static_cast<char>(image.width >> 8);
    out[14] = static_cast<char>(image.height & 0xFF);
    out[15] = static_cast<char>(image.height >> 8);
    out[16] = static_cast<char>(bytesPerPixel * 8);
    out[17] = static_cast<char>(image.alpha ? 8 : 0);  // alpha bits per pixel
    out.reserve(out.size() + image.rgba.size());
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        out += static_cast<char>(image.rgba[i + 2]);
        out += static_cast<char>(image.rgba[i + 1]);
        out += static_cast<char>(image.rgba[i]);
        if (image.alpha) out += static_cast<char>(image.rgba[i + 3]);
    }
    return out;
}
