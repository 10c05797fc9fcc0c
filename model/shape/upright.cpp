#include "model/shape/upright.h"

#include <vector>

namespace {

// Row r of the turn picks the source axis index [r] with sign [r]: new[r] = sign * old[index].
struct Turn {
    int index[3];
    float sign[3];
};

Turn TurnFor(Axis up) {
    switch (up) {
        case Axis::PlusX:
            return {{1, 0, 2}, {-1, 1, 1}};  // (x, y, z) -> (-y, x, z)
        case Axis::MinusX:
            return {{1, 0, 2}, {1, -1, 1}};  // (x, y, z) -> (y, -x, z)
        case Axis::MinusY:
            return {{0, 1, 2}, {-1, -1, 1}};
        case Axis::PlusZ:
            return {{0, 2, 1}, {1, 1, -1}};  // (x, y, z) -> (x, z, -y)
        case Axis::MinusZ:
            return {{0, 2, 1}, {1, -1, 1}};  // (x, y, z) -> (x, -z, y)
        case Axis::PlusY:
            break;
    }
    return {{0, 1, 2}, {1, 1, 1}};
}

void Apply(const Turn& turn, std::vector<float>& triples) {
    for (size_t i = 0; i + 2 < triples.size(); i += 3) {
        const float old[3] = {triples[i], triples[i + 1], triples[i + 2]};
        for (int r = 0; r < 3; ++r) triples[i + r] = turn.sign[r] * old[turn.index[r]];
    }
}

}  // namespace

void TurnUpright(ModelData& model) {
    if (model.up.axis == Axis::PlusY) return;
    const Turn turn = TurnFor(model.up.axis);
    for (SourceMesh& mesh : model.meshes) {
        Apply(turn, mesh.positions);
        Apply(turn, mesh.normals);
    }
}
