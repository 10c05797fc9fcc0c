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

// Rows go out bottom row first, which the descriptor's zero origin bit says, so that v = 0 is the
// bottom of the picture as GL sees it.
std::string EncodeTga(const Image& image) {
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
