// Vertex colours through a texture: each face gets a tile of 2 x 2 texels of its own in an
// atlas, its three corners at three texel centres holding their lit colours, so that the
// viewer's linear filter blends each face between its own corners' colours only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/image/image.h"

// One atlas holds this many faces at most: its side stays within 512 x 256.
constexpr size_t kAtlasFaces = 32768;

// A corner's place in the atlas.
struct AtlasCorner {
    float u, v;
};

// The atlas for `colours`: three RGB colours per face (0 to 255, already lit), at most
// kAtlasFaces faces. `corners` gets three texture coordinates per face, in the same order.
Image ColourAtlas(const std::vector<Rgb>& colours, std::vector<AtlasCorner>& corners);
