#include "tools/image/png_file.h"

// libpng's simplified interface reports errors in the record instead of by longjmp, which would
// skip the destructors of the C++ objects here.
#include <png.h>

#include <cstdint>
#include <utility>  // move
#include <vector>

namespace {

// The simplified interface walks rows bottom-up when the stride is negative.
png_int_32 BottomUpStride(const png_image& png) {
    return -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(png));
}

}  // namespace

bool WritePng(const Image& image, const std::string& path, std::string& error) {
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = image.alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4) {
        error = "no picture to write";
        return false;
    }
    std::vector<uint8_t> rgb;
    const uint8_t* pixels = image.rgba.data();
    if (!image.alpha) {
        rgb.reserve(image.rgba.size() / 4 * 3);
        for (size_t i = 0; i < image.rgba.size(); i += 4) {
            rgb.insert(rgb.end(), &image.rgba[i], &image.rgba[i + 3]);
        }
        pixels = rgb.data();
    }
    if (png_image_write_to_file(&png, path.c_str(), 0, pixels, BottomUpStride(png), nullptr) == 0) {
        error = png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

bool ReadPng(const std::string& path, Image& image, std::string& error) {
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
        error = png.message;
        png_image_free(&png);
        return false;
    }
    if (static_cast<long>(png.width) * static_cast<long>(png.height) > kMaxPngPixels) {
        error = "picture too large";
        png_image_free(&png);
        return false;
    }
    const bool alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    png.format = PNG_FORMAT_RGBA;
    Image read = MakeImage(static_cast<int>(png.width), static_cast<int>(png.height), alpha);
    if (png_image_finish_read(&png, nullptr, read.rgba.data(), BottomUpStride(png), nullptr) == 0) {
        error = png.message;
        png_image_free(&png);
        return false;
    }
    image = std::move(read);
    return true;
}
