// The whole way from a model file to a model ready to be written or drawn: read in a confined
// child (model/confine/), turned upright (model/shape/), built and lit (model/build/), framed
// (model/frame/). quorvane-import writes the result (model/write/); the thumbnailer draws it.
#pragma once

#include <string>
#include <vector>

#include "model/build/build_model.h"
#include "model/confine/confined_read.h"  // ReaderConfinement
#include "model/frame/framing.h"
#include "model/records/model.h"
#include "model/records/model_data.h"

struct ImportOptions {
    bool upGiven = false;  // true: `up` instead of what the file declares
    Axis up = Axis::PlusY;
    BuildOptions build;
    double timeLimitSeconds = 60;   // how long the model's reading may take
    ReaderConfinement confinement;  // more than every reader gets
    // Above this many faces the model is reduced (ReduceModel), starting from a grid of
    // `reductionCells` along its largest side; 0: never.
    size_t maxFaces = 0;
    int reductionCells = 0;
};

struct ImportedModel {
    Model model;
    UpDeclaration up;  // the up it was turned by, and why
    Framing framing;
    std::vector<std::string> warnings;  // what the reader left out, one sentence each
    size_t facesRead = 0;               // when the model was reduced, its faces before; else 0
};

// Reads `path` confined (ReadConfined with ReadModel: the caller must have one thread only) and
// makes it `imported`. False, with `error` saying why in words that follow "MODEL: ", when the
// reader refused the file, its faces have no size that can be shown, or memory ran out; the
// reader's warnings are in imported.warnings either way.
bool ImportModel(const std::string& path, const ImportOptions& options, ImportedModel& imported,
                 std::string& error);
