// The TGA format that textures come in, apart from OpenGL: header checks, the image size and the
// colour swap, shared by TextureSet::LoadTexture and by DecodeTga, which decodes a file already in
// memory for the tools and the fuzzer.
//
// Accepted: uncompressed true-colour (image type 2), no image ID, no colour map, zero origin,
// 24 or 32 bits per pixel, at least one pixel and at most 4 GiB of pixels. The image descriptor
// (byte 17) is not interpreted; rows stay in file order.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kTgaSignatureSize = 12;  // bytes 0-11, compared as one block
constexpr size_t kTgaSpecSize = 6;        // bytes 12-17: width, height, depth, descriptor
constexpr size_t kTgaHeaderSize = kTgaSignatureSize + kTgaSpecSize;

// The one sequence the first 12 bytes may hold.
extern const uint8_t kTgaSignature[kTgaSignatureSize];

// Why a file is refused, in the order the checks are made.
enum class TgaError : uint8_t {
    None,
    CannotOpen,        // missing, unreadable, or not a regular file
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

// The check of the first 12 bytes: None when they equal kTgaSignature; otherwise the first reason
// that tells them apart (ID, colour map, image type, colour-map fields, origin).
TgaError CheckTgaSignature(const uint8_t* block);

// Width and height of the 6 image-description bytes (little-endian).
inline uint32_t TgaWidth(const uint8_t* spec) {
    return spec[0] + spec[1] * 256u;
}
inline uint32_t TgaHeight(const uint8_t* spec) {
    return spec[2] + spec[3] * 256u;
}
inline bool IsTgaDepthAccepted(uint32_t bitsPerPixel) {
    return bitsPerPixel == 24 || bitsPerPixel == 32;
}

// The size in bytes of the pixel block. Refuses an empty image and one whose size does not
// fit 32 bits, before anything is allocated. `bitsPerPixel` must be 24 or 32.
TgaError TgaImageSize(uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t& size);

// B G R (A) to R G B (A) in place, for every pixel of the block.
void SwapRedAndBlue(uint8_t* pixels, uint32_t size, uint32_t bytesPerPixel);

// A decoded image: `pixels` holds `size` bytes in R G B (A) order, rows in file order. Width,
// height and depth are filled as soon as they are read, so a refusal can still report them.
struct TgaImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;  // 0 until an accepted depth has been read
    uint8_t descriptor = 0;     // byte 17 as read; the viewer ignores it (rows stay in file order)
    uint32_t size = 0;
    uint8_t* pixels = nullptr;  // malloc'd; release with ReleaseTgaImage
};

// Decodes a whole file held in memory, with the checks and in the order of LoadTexture (without
// its GL part). On a refusal nothing is left allocated. The pixel block is allocated only once
// the data is known to hold it. Bytes after the pixel data are ignored.
TgaError DecodeTga(const uint8_t* data, size_t size, TgaImage& image);
void ReleaseTgaImage(TgaImage& image);
