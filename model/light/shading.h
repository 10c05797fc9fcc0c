// Light for a viewer that has none: the importer bakes it into textures.
//
// The light is fixed in the world: a key light from above and in front of the camera the
// importer places (a little to its left, so that round forms show), and a soft ambient that
// goes from the ground's dark to the sky's light with the way a surface faces, so that no side
// is black. How bright a surface is depends only on two dot products of its normal N, with the
// key light's direction L and with up; both are linear in N, so texture coordinates
//   u = 0.5 + 0.5 N.L,  v = 0.5 + 0.5 N.Up
// given per vertex and interpolated across a face look the shading up per pixel in a small
// texture of the material's colour times that brightness, without a seam between faces.
#pragma once

#include "model/shape/corner_normals.h"
#include "tools/image/image.h"

// The side of a shading texture: enough steps that neither the light's edge nor the ambient's
// gradient shows bands.
constexpr int kShadingSide = 64;

// How bright a surface facing along the unit normal `n` is, from about 0.25 (facing the ground,
// away from the key light) to 1.
double Brightness(const Normal& n);

// The texture coordinates of a vertex with normal `n` in a shading texture: inside its outer
// texels' centres, so that the linear filter never wraps to the opposite edge.
void ShadingCoordinates(const Normal& n, float& u, float& v);

// The shading texture of one colour (channels 0 to 1).
Image ShadingTexture(const float colour[3]);

// The texture of one colour unlit, 1 x 1 (channels 0 to 1): a material's look with the light off.
Image ColourTexture(double red, double green, double blue);
