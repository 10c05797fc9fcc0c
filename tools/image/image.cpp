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

Image HalfSize(const Image& image) {
    const int w = image.width > 1 ? image.width / 2 : 1,
              h = image.height > 1 ? image.height / 2 : 1;
    const int sx = image.width / w, sy = image.height / h;
    Image half = MakeImage(w, h, image.alpha);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int j = 0; j < sy; ++j) {
                    for (int i = 0; i < sx; ++i) {
                        sum += image.rgba[((static_cast<size_t>(y) * sy + j) * image.width +
                                           x * sx + i) *
                                              4 +
                                          c];
                    }
                }
                half.rgba[(static_cast<size_t>(y) * w + x) * 4 + c] =
                    static_cast<uint8_t>((sum + sx * sy / 2) / (sx * sy));
            }
        }
    }
    return half;
}
