#include "render/tga.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kSignatureSize = 12;
// The one sequence the first 12 bytes may hold: type 2, every other field 0.
constexpr uint8_t kSignature[kSignatureSize] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// None when the 12 bytes equal kSignature; otherwise the first field that tells them apart.
TgaError CheckSignature(const uint8_t* block) {
    if (std::memcmp(block, kSignature, kSignatureSize) == 0) return TgaError::None;
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

// The file stores B G R (A); GL wants R G B (A). Copied and swapped in one pass.
void CopySwappingRedAndBlue(const uint8_t* from, uint8_t* to, uint32_t size,
                            uint32_t bytesPerPixel) {
    for (uint32_t i = 0; i < size; i += bytesPerPixel) {
        to[i] = from[i + 2];
        to[i + 1] = from[i + 1];
        to[i + 2] = from[i];
        if (bytesPerPixel == 4) to[i + 3] = from[i + 3];
    }
}

}  // namespace

const char* DescribeTgaError(TgaError error) {
    switch (error) {
        case TgaError::None:
            return "accepted";
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

TgaError DecodeTga(const uint8_t* data, size_t size, TgaImage& image) {
    image = TgaImage();
    if (size < kSignatureSize) return TgaError::TruncatedHeader;
    const TgaError signature = CheckSignature(data);
    if (signature != TgaError::None) return signature;
    if (size < kTgaHeaderSize) return TgaError::TruncatedHeader;
    image.width = data[12] + data[13] * 256u;
    image.height = data[14] + data[15] * 256u;
    image.descriptor = data[17];
    if (data[16] != 24 && data[16] != 32) return TgaError::UnsupportedDepth;
    image.bitsPerPixel = data[16];
    const uint64_t bytes = uint64_t{image.width} * image.height * (image.bitsPerPixel / 8);
    if (bytes == 0) return TgaError::Empty;
    // Refused before anything is allocated, so that reading and uploading cover the same bytes.
    if (bytes > UINT32_MAX) return TgaError::TooLarge;
    if (size - kTgaHeaderSize < bytes) return TgaError::TruncatedPixels;
    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(bytes));
    if (pixels == nullptr) return TgaError::OutOfMemory;
    CopySwappingRedAndBlue(data + kTgaHeaderSize, pixels, static_cast<uint32_t>(bytes),
                           image.bitsPerPixel / 8);
    image.pixels = pixels;
    image.size = static_cast<uint32_t>(bytes);
    return TgaError::None;
}

void ReleaseTgaImage(TgaImage& image) {
    std::free(image.pixels);
    image.pixels = nullptr;
    image.size = 0;
}

// Rows go out bottom row first, which the descriptor's zero origin bit says, so that v = 0 is the
// bottom of the picture as GL sees it.
std::string EncodeTga(int32_t width, int32_t height, bool alpha, const uint8_t* rgba) {
    const int bytesPerPixel = alpha ? 4 : 3;
    std::string out(kTgaHeaderSize, '\0');
    out[2] = 2;
    out[12] = static_cast<char>(width & 0xFF);
    out[13] = static_cast<char>(width >> 8);
    out[14] = static_cast<char>(height & 0xFF);
    out[15] = static_cast<char>(height >> 8);
    out[16] = static_cast<char>(bytesPerPixel * 8);
    out[17] = static_cast<char>(alpha ? 8 : 0);  // alpha bits per pixel
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    out.reserve(out.size() + pixels * bytesPerPixel);
    for (size_t i = 0; i < pixels * 4; i += 4) {
        out += static_cast<char>(rgba[i + 2]);
        out += static_cast<char>(rgba[i + 1]);
        out += static_cast<char>(rgba[i]);
        if (alpha) out += static_cast<char>(rgba[i + 3]);
    }
    return out;
}
