// Vertices that are one and the same found again: some readers give every corner of every face a
// vertex of its own (OBJ, STL), which would write three vertices a face and hide which faces are
// neighbours.
#pragma once

#include "model/records/model_data.h"

// Makes vertices with the same position, normal, texture coordinates and colour (bit for bit)
// one, keeping the first of each, in order; the faces keep their corners' values.
void JoinVertices(SourceMesh& mesh);
