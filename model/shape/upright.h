// A model turned so that its up points along the viewer's up, +Y.
#pragma once

#include "model/records/model_data.h"

// Turns every position and normal of `model` by the rotation that takes `model.up.axis` to +Y:
// a quarter turn about X for +Z and -Z (so that a Z-up model's -Y front faces +Z, towards the
// camera), about Z for +X and -X, a half turn about Z for -Y. Never a mirror: the faces keep
// their winding.
void TurnUpright(ModelData& model);
