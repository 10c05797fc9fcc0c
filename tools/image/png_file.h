// PNG files of the tools' images, through libpng: quorvane-shot writes them, the golden-image
// tests read them back.
#pragma once

#include <string>

#include "tools/image/image.h"  // Image: RGBA bytes, bottom row first, as GL reads and TGA stores

// Writes `image` as an 8-bit PNG, RGB (RGBA when image.alpha), top row first as every viewer
// expects. False, with `error` saying why, when the file cannot be written.
bool WritePng(const Image& image, const std::string& path, std::string& error);

// Reads any PNG as 8-bit RGBA, bottom row first, with `alpha` set when the file has an alpha
// channel. Refuses (false, `error` saying why) what is not a PNG, a damaged file, and pictures of
// more than kMaxPngPixels, before anything that large is allocated.
bool ReadPng(const std::string& path, Image& image, std::string& error);

constexpr long kMaxPngPixels = 8192L * 8192L;
