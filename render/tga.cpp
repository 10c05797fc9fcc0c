#include "render/tga.h"

#include <cstdlib>
#include <cstring>

const uint8_t kTgaSignature[kTgaSignatureSize] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

const char* DescribeTgaError(TgaError error) {
    switch (error) {
        case TgaError::None:
            return "accepted";
        case TgaError::CannotOpen:
            return "the file cannot be opened";
        case TgaError::TruncatedHeader:
            return "truncated: the file ends inside the 18-byte header";
        case TgaError::ImageId:
            return "has an image ID field (only files without one are accepted)";
        case TgaError::ColourMapped:
            return "colour-mapped (only true-colour files without a colour map are accepted)";
        case TgaError::Compressed:
            return "run-length compressed (only uncompressed files are accepted)";
        case TgaError::Grey:
            return "grey-scale (only true-colour files are accepted)";
        case TgaError::UnsupportedType:
            return "not an uncompressed true-colour image (image type is not 2)";
        case TgaError::NonZeroOrigin:
            return "non-zero origin (only an origin of 0, 0 is accepted)";
        case TgaError::UnsupportedDepth:
            return "unsupported pixel depth (only 24 and 32 bits are accepted)";
        case TgaError::Empty:
            return "empty image (width or height is 0)";
        case TgaError::TooLarge:
            return "too large: width x height x bytes per pixel exceeds 4 GiB";
        case TgaError::TruncatedPixels:
            return "truncated: the file ends inside the pixel data";
        case TgaError::OutOfMemory:
            return "not enough memory for the pixels";
    }
    return "unknown error";
}

TgaError CheckTgaSignature(const uint8_t* block) {
    if (std::memcmp(block, kTgaSignature, kTgaSignatureSize) == 0) return TgaError::None;
    // The block differs; name the first field that makes the difference.
    if (block[0] != 0) return TgaError::ImageId;
    if (block[1] != 0) return TgaError::ColourMapped;
    switch (block[2]) {
        case 2:
            break;
        case 1:
            return TgaError::ColourMapped;
        case 3:
            return TgaError::Grey;
        case 9:
        case 10:
        case 11:
            return TgaError::Compressed;
        default:
            return TgaError::UnsupportedType;
    }
    for (size_t i = 3; i < 8; ++i) {
        if (block[i] != 0) return TgaError::ColourMapped;
    }
    return TgaError::NonZeroOrigin;  // bytes 8-11 are all that is left
}

TgaError TgaImageSize(uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t& size) {
    const uint64_t bytes = uint64_t{width} * height * (bitsPerPixel / 8);
    if (bytes == 0) return TgaError::Empty;
    if (bytes > UINT32_MAX) return TgaError::TooLarge;
    size = static_cast<uint32_t>(bytes);
    return TgaError::None;
}

void SwapRedAndBlue(uint8_t* pixels, uint32_t size, uint32_t bytesPerPixel) {
    // The step keeps i + 2 inside the block: size is a whole number of pixels.
    for (uint32_t i = 0; i < size; i += bytesPerPixel) {
        const uint8_t blue = pixels[i];
        pixels[i] = pixels[i + 2];
        pixels[i + 2] = blue;
    }
}

TgaError DecodeTga(const uint8_t* data, size_t size, TgaImage& image) {
    image = TgaImage();
    if (size < kTgaSignatureSize) return TgaError::TruncatedHeader;
    const TgaError signature = CheckTgaSignature(data);
    if (signature != TgaError::None) return signature;
    if (size < kTgaHeaderSize) return TgaError::TruncatedHeader;
    const uint8_t* spec = data + kTgaSignatureSize;
    image.width = TgaWidth(spec);
    image.height = TgaHeight(spec);
    image.descriptor = spec[5];
    if (!IsTgaDepthAccepted(spec[4])) return TgaError::UnsupportedDepth;
    image.bitsPerPixel = spec[4];
    uint32_t bytes = 0;
    const TgaError sizeError = TgaImageSize(image.width, image.height, image.bitsPerPixel, bytes);
    if (sizeError != TgaError::None) return sizeError;
    if (size - kTgaHeaderSize < bytes) return TgaError::TruncatedPixels;
    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(bytes));
    if (pixels == nullptr) return TgaError::OutOfMemory;
    std::memcpy(pixels, data + kTgaHeaderSize, bytes);
    SwapRedAndBlue(pixels, bytes, image.bitsPerPixel / 8);
    image.pixels = pixels;
    image.size = bytes;
    return TgaError::None;
}

void ReleaseTgaImage(TgaImage& image) {
    std::free(image.pixels);
    image.pixels = nullptr;
    image.size = 0;
}
