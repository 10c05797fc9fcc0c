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

const TextureInfo& DescribeTexture(TextureId id);
