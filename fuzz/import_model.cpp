// Any bytes as a model file, through the whole import in one process: assimp reads them from
// memory, the reader's conversion makes plain arrays of them, the arrays cross the pipe's encoding
// and the importer's checks, and the scene is built and framed from what survives. What the
// reader makes must pass those checks: one refused is a fault of the conversion. assimp itself is
// neither instrumented nor ours; tools/scripts/run-fuzz.sh tells its crashes from ours.
//
// With QUORVANE_WIRE_SEEDS naming a folder, each answer of at most 64 KiB is also written there:
// tools/scripts/run-fuzz.sh makes the seeds of fuzz-import-wire so.
#include <cstddef>
#include <cstdint>
#include <cstdlib>  // getenv
#include <fstream>
#include <functional>  // hash
#include <string>
#include <vector>

#include "fuzz/build_scene.h"
#include "model/confine/model_wire.h"
#include "model/read/read_model.h"

namespace {

void KeepAsSeed(const std::vector<uint8_t>& answer) {
    const char* folder = std::getenv("QUORVANE_WIRE_SEEDS");
    if (folder == nullptr || answer.size() > 64 * 1024) return;
    const std::string bytes(answer.begin(), answer.end());
    const std::string name = std::to_string(std::hash<std::string>()(bytes));
    std::ofstream(std::string(folder) + "/" + name, std::ios::binary) << bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ModelData read;
    std::string error;
    // No folder of pictures: those the bytes name are looked for where none can be.
    const bool isModel = ReadModelFromMemory(data, size, "/nonexistent", read, error);
    const std::vector<uint8_t> answer =
        isModel ? EncodeModelData(read) : EncodeRefusal(error, read.warnings);
    KeepAsSeed(answer);
    ModelData model;
    std::string text;
    const WireAnswer decoded = DecodeModelData(answer.data(), answer.size(), model, text);
    if (decoded != (isModel ? WireAnswer::Model : WireAnswer::Refusal)) __builtin_trap();
    if (decoded != WireAnswer::Model) return 0;
    BuildAndFrame(model);
    return 0;
}
