// Guards how the importer lights a model the viewer cannot light: the normals it makes, the
// shading looked up through texture coordinates, vertex colours through an atlas, and the turn
// that stands a model upright.
#include <gtest/gtest.h>

#include <algorithm>  // copy
#include <cmath>
#include <random>
#include <vector>

#include "model/build/build_model.h"
#include "model/light/colour_atlas.h"
#include "model/shape/corner_normals.h"
#include "model/light/picture_light.h"
#include "model/shape/same_position.h"
#include "model/light/shading.h"
#include "model/shape/upright.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The texel colour the viewer's linear filter gives at (u, v), with GL's default wrap.
Rgb Sample(const Image& image, double u, double v) {
    const double x = u * image.width - 0.5, y = v * image.height - 0.5;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    Rgb out{0, 0, 0};
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 2; ++i) {
            const int tx = ((x0 + i) % image.width + image.width) % image.width;
            const int ty = ((y0 + j) % image.height + image.height) % image.height;
            const uint8_t* p = &image.rgba[(static_cast<size_t>(ty) * image.width + tx) * 4];
            const double w = (i ? fx : 1 - fx) * (j ? fy : 1 - fy);
            out = Rgb{out.r + w * p[0], out.g + w * p[1], out.b + w * p[2]};
        }
    }
    return out;
}

// A closed cylinder of `segments` sides around +Y, as STL writes it: every face with corners of
// its own.
std::vector<float> UnsharedCylinder(int segments, std::vector<uint32_t>& triangles) {
    std::vector<float> positions;
    auto corner = [&](double angle, double y, double radius = 1.0) {
        positions.insert(positions.end(),
                         {static_cast<float>(radius * std::cos(angle)), static_cast<float>(y),
                          static_cast<float>(-radius * std::sin(angle))});
        triangles.push_back(static_cast<uint32_t>(triangles.size()));
    };
    for (int s = 0; s < segments; ++s) {
        // The last segment ends where the first begins, bit for bit, as a file writes it.
        const double a = 2 * kPi * s / segments, b = 2 * kPi * ((s + 1) % segments) / segments;
        corner(a, 0), corner(b, 0), corner(b, 1);  // side, counter-clockwise from outside
        corner(a, 0), corner(b, 1), corner(a, 1);
        corner(a, 1), corner(b, 1), corner(0.0, 1, 0.0);  // top cap, a fan
    }
    return positions;
}

double Dot(const Normal& n, double x, double y, double z) {
    return n.x * x + n.y * y + n.z * z;
}

}  // namespace

// Catches a surface left faceted (corners of an STL-style mesh not found at one place), a hard
// edge smoothed over (a cap's rim rounded), and normals pointing inwards.
TEST(CornerNormals, SmoothAcrossGentleEdgesHardAcrossSharpOnes) {
    std::vector<uint32_t> triangles;
    const std::vector<float> positions = UnsharedCylinder(16, triangles);
    const std::vector<Normal> normals =
        CornerNormals(positions, SamePositions(positions), triangles, {});
    ASSERT_EQ(normals.size(), triangles.size());
    for (size_t c = 0; c < triangles.size(); ++c) {
        const float* p = &positions[triangles[c] * 3];
        const bool cap = c % 9 >= 6;
        SCOPED_TRACE(c);
        if (cap) {
            EXPECT_NEAR(normals[c].y, 1.0, 1e-6) << "the cap's rim should stay sharp";
        } else {
            // A side corner's normal points straight out from the axis, at its own angle.
            EXPECT_NEAR(Dot(normals[c], p[0], 0, p[2]), 1.0, 1e-5);
            EXPECT_NEAR(normals[c].y, 0.0, 1e-6);
        }
    }
}

// Catches a NaN or zero normal from a face without area, and the file's own normals ignored or
// taken where they have no length.
TEST(CornerNormals, FacesWithoutAreaAndTheFilesOwnNormals) {
    // A unit square in the ground plane facing up, and a sliver of three corners on one line.
    const std::vector<float> positions = {0, 0, 0, 1, 0, 0, 1, 0, -1, 0, 0, -1, 0.5f, 0, 0};
    const std::vector<uint32_t> triangles = {0, 1, 2, 0, 2, 3, 0, 4, 1};
    const std::vector<uint32_t> same = SamePositions(positions);
    for (const Normal& n : CornerNormals(positions, same, triangles, {})) {
        EXPECT_NEAR(n.y, 1.0, 1e-6);
    }
    std::vector<float> given(positions.size(), 0.0f);
    for (size_t v = 0; v < 5; ++v) given[v * 3] = 1.0f;  // every vertex says +X
    EXPECT_NEAR(CornerNormals(positions, same, triangles, given)[4].x, 1.0, 1e-6);
    given[4 * 3] = 0.0f;  // one without length is made again; the others stay the file's
    const std::vector<Normal> mixed = CornerNormals(positions, same, triangles, given);
    EXPECT_NEAR(mixed[0].x, 1.0, 1e-6);
    EXPECT_NEAR(mixed[7].y, 1.0, 1e-6);
}

// Catches a fan of very many faces around one corner taking quadratic time (a hostile file could
// hold a million), and the grouping that replaces the pairwise test there mixing up sides.
TEST(CornerNormals, AHugeFanStaysFastAndKeepsItsSidesApart) {
    std::vector<float> positions = {0, 0, 0};
    std::vector<uint32_t> triangles;
    const int n = 200000;
    for (int i = 0; i <= n; ++i) {  // a disc facing up, then the same disc facing down
        const double a = 2 * kPi * i / n;
        positions.insert(positions.end(),
                         {static_cast<float>(std::cos(a)), 0.0f, static_cast<float>(std::sin(a))});
    }
    for (uint32_t i = 1; i <= n; ++i) triangles.insert(triangles.end(), {0, i + 1, i});
    for (uint32_t i = 1; i <= n; ++i) triangles.insert(triangles.end(), {0, i, i + 1});
    const std::vector<Normal> normals =
        CornerNormals(positions, SamePositions(positions), triangles, {});
    EXPECT_NEAR(normals[0].y, 1.0, 1e-6);
    EXPECT_NEAR(normals[n * 3].y, -1.0, 1e-6);
}

// Catches a shading texture laid out otherwise than its coordinates read it (rows and columns
// swapped, an edge wrapped by the filter), a black side, and a lit side no brighter than the dark.
TEST(Shading, TheTextureLooksUpTheBrightnessOfEveryNormal) {
    const float colour[3] = {1.0f, 0.5f, 0.25f};
    const Image texture = ShadingTexture(colour);
    std::mt19937 random(7);
    std::normal_distribution<double> gauss;
    double darkest = 1.0, brightest = 0.0;
    for (int i = 0; i < 2000; ++i) {
        double x = gauss(random), y = gauss(random), z = gauss(random);
        const double length = std::sqrt(x * x + y * y + z * z);
        const Normal n{static_cast<float>(x / length), static_cast<float>(y / length),
                       static_cast<float>(z / length)};
        float u, v;
        ShadingCoordinates(n, u, v);
        const double expected = Brightness(n);
        const Rgb got = Sample(texture, u, v);
        // The filter draws straight lines between texels where the light's edge bends.
        EXPECT_NEAR(got.r, 255.0 * expected, 5.0) << x << " " << y << " " << z;
        EXPECT_NEAR(got.g, 127.5 * expected, 3.0);
        darkest = std::min(darkest, expected);
        brightest = std::max(brightest, expected);
    }
    EXPECT_GE(darkest, 0.2) << "no side should be black";
    EXPECT_GE(brightest, 0.95);
    // Facing the camera's side from above is lit; facing away and down is dark.
    EXPECT_GT(Brightness(Normal{0.3f, 0.6f, 0.74f}), 2 * Brightness(Normal{-0.3f, -0.6f, -0.74f}));
}

// Catches tiles that overlap or bleed into each other, corners placed off their texel centres,
// and a blend across a face that passes through another face's colour.
TEST(ColourAtlas, EachFaceBlendsBetweenItsOwnCornersOnly) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> channel(0.0, 255.0);
    const size_t faces = 3000;
    std::vector<Rgb> colours(faces * 3);
    for (Rgb& c : colours) c = Rgb{channel(random), channel(random), channel(random)};
    std::vector<AtlasCorner> corners;
    const Image atlas = ColourAtlas(colours, corners);
    ASSERT_EQ(corners.size(), faces * 3);
    EXPECT_EQ(atlas.width & (atlas.width - 1), 0);
    EXPECT_EQ(atlas.height & (atlas.height - 1), 0);
    for (size_t f = 0; f < faces; ++f) {
        for (const auto& [wa, wb] : {std::pair{1.0, 0.0}, {0.0, 1.0}, {0.3, 0.3}, {0.5, 0.5}}) {
            const double wc = 1.0 - wa - wb;
            const AtlasCorner* k = &corners[f * 3];
            const Rgb got = Sample(atlas, wa * k[0].u + wb * k[1].u + wc * k[2].u,
                                   wa * k[0].v + wb * k[1].v + wc * k[2].v);
            const Rgb* c = &colours[f * 3];
            const double expected = wa * c[0].r + wb * c[1].r + wc * c[2].r;
            const double low = std::min({c[0].r, c[1].r, c[2].r});
            const double high = std::max({c[0].r, c[1].r, c[2].r});
            EXPECT_GE(got.r, low - 1.0) << "face " << f;
            EXPECT_LE(got.r, high + 1.0) << "face " << f;
            if (wa == 1.0 || wb == 1.0) {
                EXPECT_NEAR(got.r, expected, 1.0) << "face " << f;
            }
        }
    }
}

// Catches a model turned the wrong way, mirrored (faces turned inside out), or with its normals
// left behind.
TEST(Upright, EveryUpAxisEndsUpAlongPlusY) {
    for (Axis axis :
         {Axis::PlusX, Axis::MinusX, Axis::PlusY, Axis::MinusY, Axis::PlusZ, Axis::MinusZ}) {
        SCOPED_TRACE(AxisName(axis));
        const float up[6][3] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
        const float* u = up[static_cast<int>(axis)];
        ModelData model;
        model.up.axis = axis;
        SourceMesh mesh;
        // The up vector, and a right-handed pair of axes to see a mirror by.
        mesh.positions = {u[0], u[1], u[2], 1, 0, 0, 0, 1, 0, 0, 0, 1};
        mesh.normals = mesh.positions;
        model.meshes.push_back(mesh);
        TurnUpright(model);
        const std::vector<float>& p = model.meshes[0].positions;
        EXPECT_EQ(p[0], 0.0f);
        EXPECT_EQ(p[1], 1.0f);
        EXPECT_EQ(p[2], 0.0f);
        const double determinant = p[3] * (p[7] * p[11] - p[8] * p[10]) -
                                   p[4] * (p[6] * p[11] - p[8] * p[9]) +
                                   p[5] * (p[6] * p[10] - p[7] * p[9]);
        EXPECT_EQ(determinant, 1.0);
        EXPECT_EQ(model.meshes[0].normals, p);
    }
}

// Catches a mesh that keeps a vertex per file corner (an STL file's three per face), a lit one
// that loses the split where its normals differ, and flat colours that still light.
TEST(BuildModel, OneVertexPerPlaceAndNormalWhenLitPerPlaceWhenFlat) {
    ModelData data;
    data.materials.push_back(SourceMaterial());
    SourceMesh mesh;
    mesh.positions = UnsharedCylinder(16, mesh.triangles);
    data.meshes.push_back(mesh);
    Model lit, flat;
    BuildModel(data, BuildOptions(), lit);
    BuildOptions noShading;
    noShading.shading = false;
    BuildModel(data, noShading, flat);
    ASSERT_EQ(lit.meshes.size(), 1u);
    // 16 around the bottom and the top of the side, 16 on the cap's rim, the cap's centre.
    EXPECT_EQ(lit.meshes[0].vertices.size(), 16u * 3 + 1);
    EXPECT_EQ(lit.textures[0].image.width, kShadingSide);
    EXPECT_EQ(flat.meshes[0].vertices.size(), 16u * 2 + 1);
    EXPECT_EQ(flat.textures[0].image.width, 1);
}

// Catches a mirrored layout lit as one (one half of a model given the other half's light), a
// copy's texture coordinates pointing at the wrong copy, and a tiled picture darkened as if each
// repeat were one place.
TEST(PictureLight, MirroredFacesGetACopyOfTheirOwnTiledPicturesStayUnlit) {
    const Image picture = MakeImage(16, 16, false);  // white
    // Two faces on one part of the picture, one facing the key light, one facing away.
    PictureFace towards, away;
    for (int k = 0; k < 3; ++k) {
        towards.vertex[k] = k;
        away.vertex[k] = 3 + k;
        towards.normal[k] = Normal{-0.3f, 0.64f, 0.7f};
        away.normal[k] = Normal{0.3f, -0.64f, -0.7f};
    }
    const float u[3] = {0.1f, 0.9f, 0.1f}, v[3] = {0.1f, 0.1f, 0.9f};
    std::copy(u, u + 3, towards.u), std::copy(v, v + 3, towards.v);
    std::copy(u, u + 3, away.u), std::copy(v, v + 3, away.v);
    LitPicture lit;
    ASSERT_TRUE(LightPicture(picture, {towards, away}, 1024, lit));
    ASSERT_EQ(lit.copies, 2);
    ASSERT_EQ(lit.copyOf.size(), 2u);
    EXPECT_NE(lit.copyOf[0], lit.copyOf[1]);
    EXPECT_EQ(lit.image.height, 32);
    // Each face's own light where its corners point, in its own copy.
    for (int f = 0; f < 2; ++f) {
        const PictureFace& face = f == 0 ? towards : away;
        const double middleU = (u[0] + u[1] + u[2]) / 3, middleV = (v[0] + v[1] + v[2]) / 3;
        const Rgb got = Sample(lit.image, middleU, StackedV(middleV, lit.copyOf[f], lit.copies));
        EXPECT_NEAR(got.r, 255.0 * Brightness(face.normal[0]), 3.0) << "face " << f;
    }
    PictureFace tiled = towards;
    tiled.u[1] = 3.0f;  // the picture repeated three times across the face
    EXPECT_FALSE(LightPicture(picture, {tiled}, 1024, lit));
    EXPECT_EQ(lit.copies, 0);
    EXPECT_FALSE(LightPicture(picture, {towards, away}, 16, lit)) << "no room for a second copy";
}
