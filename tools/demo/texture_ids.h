// The demo's textures, in the order of the scene file's texture list: a face's texture index is
// its TextureId, so object files and the list cannot disagree.
#pragma once

#include <cstdint>

enum TextureId : int32_t {
    kBrick,
    kFlagstone,
    kSandstone,
    kRubble,
    kGrass,
    kCrate,
    kBark,
    kLeaves,
    kRoof,
    kMetal,
    kTextureCount
};

struct TextureInfo {
    const char* file;   // as the scene file names it, relative to the repository root
    double tileMetres;  // world size one repeat of the picture covers, so texels keep one scale
};

inline const TextureInfo& DescribeTexture(TextureId id) {
    static const TextureInfo kTable[kTextureCount] = {
        {"data/textures/brick.tga", 4.0},     {"data/textures/flagstone.tga", 4.0},
        {"data/textures/sandstone.tga", 1.0}, {"data/textures/rubble.tga", 4.0},
        {"data/textures/grass.tga", 2.0},     {"data/textures/crate.tga", 1.0},
        {"data/textures/bark.tga", 2.0},      {"data/textures/leaves.tga", 2.0},
        {"data/textures/roof.tga", 2.0},      {"data/textures/metal.tga", 1.0},
    };
    return kTable[id];
}
