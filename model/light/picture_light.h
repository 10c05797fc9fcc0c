// Light baked into a model's picture, where that costs none of its detail: when each part of the
// surface has a part of the picture of its own, each texel can be given the brightness of the
// one point of the surface it is drawn at. Models often mirror one half's layout onto the other
// (a duck's left and right share one picture of a side): faces whose texels another face already
// lit otherwise go to a copy of the picture stacked above the first, as many copies as fit. A
// picture that tiles (texture coordinates beyond 0 to 1), or whose faces overlap more than the
// copies can part, is left unlit.
#pragma once

#include <cstdint>
#include <vector>

#include "model/shape/corner_normals.h"
#include "tools/image/image.h"

// One face as the picture sees it: its corners' vertices (numbered across everything that shows
// the picture, so that faces sharing a vertex are known as neighbours), texture coordinates and
// normals.
struct PictureFace {
    uint32_t vertex[3] = {0, 0, 0};
    float u[3] = {0, 0, 0}, v[3] = {0, 0, 0};
    Normal normal[3];
};

struct LitPicture {
    Image image;                  // the copies, lit, stacked: copy k is rows k*h to (k+1)*h - 1
    int copies = 0;               // 0 when the picture is left unlit
    std::vector<uint8_t> copyOf;  // each face's copy
};

// A texture coordinate v of a face in copy `copy` of `copies`.
inline float StackedV(float v, int copy, int copies) {
    return (copy + v) / copies;
}

// The picture lit for `faces`, in as few copies as they allow, no taller than `maxSide`. False,
// with `lit` empty, when that cannot be done.
bool LightPicture(const Image& picture, const std::vector<PictureFace>& faces, int maxSide,
                  LitPicture& lit);
