// The scene's meshes and textures made from a model as read: turned upright, lit (see
// shading.h) and cut into object files the viewer reads quickly.
#pragma once

#include "model/records/model.h"
#include "model/records/model_data.h"

struct BuildOptions {
    bool shading = true;  // false: flat colours, as a material's diffuse colour alone gives
    // Pictures with a longer side are halved until they fit: a small picture of the model shows
    // no more texels, and lights them sooner. Copies of a lit picture are still stacked up to
    // kMaxTextureSide.
    int largestTexture = kMaxTextureSide;
};

// Builds `model` from `data`, which has passed CheckModelData; its meshes' identical vertices
// are joined on the way.
void BuildModel(ModelData& data, const BuildOptions& options, Model& model);
