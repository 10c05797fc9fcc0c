// The bytes of a TGA file for the tests: the header the viewer accepts, for the given size and
// depth (the image type and descriptor as given), then `pixels` as stored, B G R (A) per pixel.
#pragma once

#include <string>

inline std::string TgaBytes(int width, int height, int depth, const std::string& pixels,
                            int descriptor = 0, int imageType = 2) {
    std::string file(18, '\0');
    file[2] = static_cast<char>(imageType);
    file[12] = static_cast<char>(width & 0xFF);
    file[13] = static_cast<char>(width >> 8);
    file[14] = static_cast<char>(height & 0xFF);
    file[15] = static_cast<char>(height >> 8);
    file[16] = static_cast<char>(depth);
    file[17] = static_cast<char>(descriptor);
    return file + pixels;
}
