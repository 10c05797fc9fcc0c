// What both importer targets do with a model that passed the importer's checks: build and frame
// its scene, as quorvane-import does before writing it.
#pragma once

#include "tools/import/build_model.h"
#include "tools/import/framing.h"
#include "tools/import/model_data.h"

inline void BuildAndFrame(ModelData& model) {
    Model built;
    BuildModel(model, BuildOptions(), built);
    Framing framing;
    FrameModel(built.meshes, framing);
}
