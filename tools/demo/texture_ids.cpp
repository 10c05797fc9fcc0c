#include "tools/demo/texture_ids.h"

const TextureInfo& DescribeTexture(TextureId id) {
    static const TextureInfo kTable[kTextureCount] = {
        {"data/textures/brick.tga", 4.0},     {"data/textures/flagstone.tga", 4.0},
        {"data/textures/sandstone.tga", 1.0}, {"data/textures/rubble.tga", 4.0},
        {"data/textures/grass.tga", 2.0},     {"data/textures/crate.tga", 1.0},
        {"data/textures/bark.tga", 2.0},      {"data/textures/leaves.tga", 2.0},
        {"data/textures/roof.tga", 2.0},      {"data/textures/metal.tga", 1.0},
    };
    return kTable[id];
}
