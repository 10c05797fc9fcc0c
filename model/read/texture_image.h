// Pictures made into textures the viewer can take: OpenGL 1.1 wants sides that are powers of two,
// and the viewer's TGA reader wants the bottom row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/records/model_data.h"  // kMaxTextureSide

// Pictures that claim more pixels than this are refused before they are decoded.
constexpr long kMaxPicturePixels = 8192L * 8192L;

// The power of two nearest to `side` (on a logarithmic scale), at most kMaxTextureSide.
int TextureSide(int side);

// RGBA pixels, top row first as picture files store them, resized to power-of-two sides and
// turned bottom row first. 32 bits per pixel only when some pixel is not fully opaque.
Image MakeTexture(int width, int height, const uint8_t* rgbaTopRowFirst);

// Decodes a picture file held in memory (PNG, JPEG, TGA, BMP, ...: whatever stb_image reads)
// into a texture. False, with `error` saying why, when it cannot.
bool DecodeTexture(const uint8_t* data, size_t size, Image& texture, std::string& error);
