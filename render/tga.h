// The TGA images that textures come in, decoded apart from OpenGL: the one decoder behind the
// texture set, the scene checker and the fuzzer, and the one encoder the tools write with.
//
// Accepted: uncompressed true-colour (image type 2), no image ID, no colour map, zero origin,
// 24 or 32 bits per pixel, at least one pixel and at most 4 GiB of pixels. The image descriptor
// (byte 17) is not interpreted: rows stay in file order, the first row stored being the bottom
// one as GL sees it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t kTgaHeaderSize = 18;

// Why a file is refused, in the order the checks are made.
enum class TgaError : uint8_t {
    None,
    TruncatedHeader,   // fewer than 18 bytes
    ImageId,           // byte 0 is not 0
    ColourMapped,      // a colour map (type 1, image type 1) or non-zero colour-map fields
    Compressed,        // run-length encoded (image type 9, 10 or 11)
    Grey,              // grey-scale (image type 3)
    UnsupportedType,   // any other image type but 2
    NonZeroOrigin,     // x- or y-origin not 0
    UnsupportedDepth,  // pixel depth not 24 or 32
    Empty,             // width or height 0
    TooLarge,          // width x height x bytes per pixel does not fit 32 bits
    TruncatedPixels,   // the file ends inside the pixel data
    OutOfMemory,       // the pixel block could not be allocated
};

// A short description of a refusal ("run-length compressed", ...).
const char* DescribeTgaError(TgaError error);

// A decoded image: `pixels` holds `size` bytes in R G B (A) order, rows in file order. Width,
// height and depth are filled as soon as they are read, so a refusal can still report them.
struct TgaImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;  // 0 until an accepted depth has been read
    uint8_t descriptor = 0;     // byte 17, as stored
    uint32_t size = 0;
    uint8_t* pixels = nullptr;  // malloc'd; release with ReleaseTgaImage
};

// Decodes a whole file held in memory. On a refusal nothing is left allocated; the pixel block is
// allocated only once the data is known to hold it. Bytes after the pixel data are ignored.
TgaError DecodeTga(const uint8_t* data, size_t size, TgaImage& image);
void ReleaseTgaImage(TgaImage& image);

// The file the decoder takes for `width` x `height` pixels given as R, G, B, A bytes, bottom row
// first: the 18-byte header (true-colour, no ID, no colour map, zero origin) and the pixels as B,
// G, R (then A when `alpha`, else 24 bits).
std::string EncodeTga(int32_t width, int32_t height, bool alpha, const uint8_t* rgba);
