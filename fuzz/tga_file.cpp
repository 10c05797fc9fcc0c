// Any bytes as a TGA file: refused with a reason or decoded into exactly the pixels its header
// promises, never read out of bounds and never allocated beyond what the file holds.
#include <cstddef>
#include <cstdint>

#include "render/tga.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TgaImage image;
    const TgaError error = DecodeTga(data, size, image);
    if (error == TgaError::None) {
        const uint64_t expected = uint64_t{image.width} * image.height * (image.bitsPerPixel / 8);
        if (image.pixels == nullptr || image.size != expected || kTgaHeaderSize + expected > size) {
            __builtin_trap();
        }
        volatile uint8_t last = image.pixels[image.size - 1];  // the whole block is readable
        (void)last;
    } else if (image.pixels != nullptr) {
        __builtin_trap();  // a refusal must leave nothing allocated
    }
    ReleaseTgaImage(image);
    return 0;
}
