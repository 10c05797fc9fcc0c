#include "tools/image/image.h"

#include <cmath>  // lround

namespace {

uint8_t ToByte(double value) {
    if (value <= 0.0) return 0;
    if (value >= 255.0) return 255;
    return static_cast<uint8_t>(std::lround(value));
}

}  // namespace

Image MakeImage(int width, int height, bool alpha) {
    Image image;
    image.width = width;
    image.height = height;
    image.alpha = alpha;
    image.rgba.assign(static_cast<size_t>(width) * height * 4, 255);
    return image;
}

void SetPixel(Image& image, int x, int y, Rgb color, double alpha) {
    uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
    p[0] = ToByte(color.r);
    p[1] = ToByte(color.g);
    p[2] = ToByte(color.b);
    p[3] = ToByte(alpha);
}
