// An image being painted or read back from GL; render/tga.h writes it as a TGA file.
#pragma once

#include <cstdint>
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

// Every pixel opaque white.
Image MakeImage(int width, int height, bool alpha);

void SetPixel(Image& image, int x, int y, Rgb color, double alpha = 255.0);

// `image` at half its width and height (a side of 1 stays 1), each pixel the mean of those it
// covers.
Image HalfSize(const Image& image);
