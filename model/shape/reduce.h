// A model made lighter to draw where its detail is finer than it will be seen: a thumbnail of a
// million-face scan needs no more faces than it has pixels.
#pragma once

#include <cstddef>

#include "model/records/model_data.h"

// When `model` has more than `maxFaces` faces, joins the vertices of each mesh that share a cell
// of a grid laid over the whole model: at most `cells` cells along its largest side, fewer where
// the faces' area says that many would leave too many faces, halved until the faces fit or the
// grid is down to 8 cells. A joined vertex stands at the mean of its vertices' positions, takes
// the normal of the surface there as it was (its vertices' normals, or their faces'), and keeps
// the first one's texture coordinates and colour; faces left without area are dropped.
// Returns the number of faces the model had when it was reduced, 0 when it was left alone.
size_t ReduceModel(ModelData& model, size_t maxFaces, int cells);
