// Any bytes as the model reader's answer, as a reader a hostile file took over could send them:
// refused with a reason, or accepted as a refusal or as a model that passed CheckModelData and
// encodes back to the very same bytes; never read out of bounds, never allocated beyond what the
// bytes hold. The scene is built and framed from every model accepted.
#include <cstddef>
#include <cstdint>
#include <cstring>  // memcmp
#include <string>
#include <vector>

#include "fuzz/build_scene.h"
#include "model/confine/model_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ModelData model;
    std::string text;
    const WireAnswer answer = DecodeModelData(data, size, model, text);
    if (answer == WireAnswer::Malformed) {
        if (text.empty()) __builtin_trap();  // a refusal must say why
        return 0;
    }
    const std::vector<uint8_t> again =
        answer == WireAnswer::Model ? EncodeModelData(model) : EncodeRefusal(text, model.warnings);
    if (again.size() != size || std::memcmp(again.data(), data, size) != 0) __builtin_trap();
    if (answer != WireAnswer::Model) return 0;
    BuildAndFrame(model);
    return 0;
}
