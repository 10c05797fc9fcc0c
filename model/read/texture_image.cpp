#include "model/read/texture_image.h"

#include <stb_image.h>
#include <stb_image_resize.h>

#include <algorithm>  // copy
#include <cmath>      // log2, lround
#include <vector>

int TextureSide(int side) {
    if (side <= 1) return 1;
    const long exponent = std::lround(std::log2(static_cast<double>(side)));
    const int nearest = 1 << (exponent < 30 ? exponent : 30);
    return nearest < kMaxTextureSide ? nearest : kMaxTextureSide;
}

Image MakeTexture(int width, int height, const uint8_t* rgbaTopRowFirst) {
    const int w = TextureSide(width), h = TextureSide(height);
    std::vector<uint8_t> resized;
    const uint8_t* pixels = rgbaTopRowFirst;
    if (w != width || h != height) {
        resized.resize(static_cast<size_t>(w) * h * 4);
        stbir_resize_uint8(rgbaTopRowFirst, width, height, 0, resized.data(), w, h, 0, 4);
        pixels = resized.data();
    }
    Image texture = MakeImage(w, h, false);
    const size_t rowBytes = static_cast<size_t>(w) * 4;
    for (int y = 0; y < h; ++y) {
        const uint8_t* from = pixels + (h - 1 - y) * rowBytes;
        std::copy(from, from + rowBytes, texture.rgba.begin() + y * rowBytes);
    }
    for (size_t i = 3; i < texture.rgba.size() && !texture.alpha; i += 4) {
        texture.alpha = texture.rgba[i] != 255;
    }
    return texture;
}

bool DecodeTexture(const uint8_t* data, size_t size, Image& texture, std::string& error) {
    int width = 0, height = 0, channels = 0;
    const int length = size > 0x7fffffff ? 0x7fffffff : static_cast<int>(size);
    if (stbi_info_from_memory(data, length, &width, &height, &channels) == 0) {
        error = stbi_failure_reason();
        return false;
    }
    if (static_cast<long>(width) * height > kMaxPicturePixels) {
        error = "picture of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels is too large";
        return false;
    }
    stbi_uc* pixels = stbi_load_from_memory(data, length, &width, &height, &channels, 4);
    if (pixels == nullptr) {
        error = stbi_failure_reason();
        return false;
    }
    texture = MakeTexture(width, height, pixels);
    stbi_image_free(pixels);
    return true;
}
