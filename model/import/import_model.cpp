#include "model/import/import_model.h"

#include <new>  // bad_alloc

#include "model/confine/confined_read.h"
#include "model/confine/memory_limit.h"  // kOutOfMemory
#include "model/read/read_model.h"
#include "model/shape/reduce.h"
#include "model/shape/upright.h"

bool ImportModel(const std::string& path, const ImportOptions& options, ImportedModel& imported,
                 std::string& error) {
    imported = ImportedModel();
    try {
        ModelData data;
        const bool read = ReadConfined(path, options.timeLimitSeconds, ReadModel, data, error,
                                       options.confinement);
        imported.warnings = std::move(data.warnings);
        if (!read) {
            if (error == "std::bad_alloc") error = kOutOfMemory;
            return false;
        }
        if (options.upGiven) data.up = UpDeclaration{options.up, "given with --up"};
        TurnUpright(data);
        imported.up = data.up;
        if (options.maxFaces > 0) {
            imported.facesRead = ReduceModel(data, options.maxFaces, options.reductionCells);
        }
        BuildModel(data, options.build, imported.model);
        if (!FrameModel(imported.model.meshes, imported.framing)) {
            error = "its faces have no size that can be shown";
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        error = "there is not enough memory to build its scene";
        return false;
    }
}
