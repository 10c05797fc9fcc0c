// What both importer targets do with a model that passed the importer's checks: build and frame
// its scene, as quorvane-import does before writing it.
#pragma once

#include "model/build/build_model.h"
#include "model/frame/framing.h"
#include "model/records/model_data.h"

inline void BuildAndFrame(ModelData& model) {
    Model built;
    BuildModel(model, BuildOptions(), built);
    Framing framing;
    FrameModel(built.meshes, framing);
}
