// The models every program that reads models is tested on: real files nobody here wrote, from
// Debian's assimp-testmodels, and what their pictures are measured by.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/image/image.h"

extern const std::string kModels;  // where assimp-testmodels puts them

struct ModelCase {
    const char* file;          // under kModels
    long faces;                // as the checker counts them: every instance, polygons triangulated
    bool textured;             // a picture, not only colours, should show on the model
    const char* golden;        // compared with tests/golden/NAME.png when not empty
    const char* picture = "";  // a picture file the report should name, when not empty
    bool pictureElsewhere = false;  // that picture lies outside the model's folder
};

// Twelve formats; pictures beside the model (in other letter case too), in another folder, embedded
// in it and in a data URI; node transforms, instancing, mirroring and pivots; quads and polygons.
const std::vector<ModelCase>& ModelTable();

// What shows the model in a picture: in quorvane-shot's frames every pixel but the viewer's clear
// colour, in a thumbnail every opaque one (the edge is blended with the transparent background).
enum class Background { ClearColour, Transparent };

// How much form a picture shows: the share of the model's pixels whose brightness differs from
// the model's median brightness by more than a tenth of it. A flat silhouette shows none.
double FormShown(const Image& picture, Background background);

// What a picture shows of the model: the share of its pixels, whether any of them lies on the
// picture's edge, how many colours they have and their mean colour.
struct Coverage {
    double share = 0.0;
    bool onEdge = false;
    size_t colours = 0;
    Rgb mean{0, 0, 0};
};
Coverage Measure(const Image& picture, Background background);
