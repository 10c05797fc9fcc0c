#include "tools/demo/boxes.h"

#include <cmath>  // ceil

namespace {

// The parallelogram origin + i/cellsS * side + j/cellsT * up, cut into cells.
void AddGrid(Mesh& mesh, Vec3 origin, Vec3 side, Vec3 up, int cellsS, int cellsT,
             TextureId texture) {
    const double tile = DescribeTexture(texture).tileMetres;
    const Vec3 uAxis = side * (1.0 / (Length(side) * tile));
    const Vec3 vAxis = up * (1.0 / (Length(up) * tile));
    const int32_t first = static_cast<int32_t>(mesh.vertices.size());
    for (int j = 0; j <= cellsT; ++j) {
        for (int i = 0; i <= cellsS; ++i) {
            const Vec3 p = origin + side * (static_cast<double>(i) / cellsS) +
                           up * (static_cast<double>(j) / cellsT);
            AddVertex(mesh, p, Dot(p, uAxis), Dot(p, vAxis));
        }
    }
    const int32_t row = cellsS + 1;
    for (int j = 0; j < cellsT; ++j) {
        for (int i = 0; i < cellsS; ++i) {
            const int32_t a = first + j * row + i;
            AddQuad(mesh, a, a + 1, a + row + 1, a + row, texture);
        }
    }
}

int CellsAlong(Vec3 edge, double cellSize) {
    const int cells = static_cast<int>(std::ceil(Length(edge) / cellSize - 1e-9));
    return cells < 1 ? 1 : cells;
}

}  // namespace

void AddFace(Mesh& mesh, Vec3 origin, Vec3 side, Vec3 up, TextureId texture, double cellSize) {
    AddGrid(mesh, origin, side, up, CellsAlong(side, cellSize), CellsAlong(up, cellSize), texture);
}

void AddBox(Mesh& mesh, Vec3 lo, Vec3 hi, BoxLook look) {
    const Vec3 d = hi - lo;
    const Vec3 dx{d.x, 0, 0}, dy{0, d.y, 0}, dz{0, 0, d.z};
    const double cell = look.cellSize;
    AddFace(mesh, Vec3{lo.x, lo.y, hi.z}, dx, dy, look.sides, cell);         // +z
    AddFace(mesh, Vec3{hi.x, lo.y, lo.z}, dx * -1.0, dy, look.sides, cell);  // -z
    AddFace(mesh, Vec3{hi.x, lo.y, hi.z}, dz * -1.0, dy, look.sides, cell);  // +x
    AddFace(mesh, lo, dz, dy, look.sides, cell);                             // -x
    AddFace(mesh, Vec3{lo.x, hi.y, hi.z}, dx, dz * -1.0, look.top, cell);    // +y
    if (look.bottom) AddFace(mesh, lo, dx, dz, look.sides, cell);            // -y
}

void AddBox(Mesh& mesh, Vec3 lo, Vec3 hi, TextureId texture, bool bottom) {
    BoxLook look{texture, texture, bottom};
    AddBox(mesh, lo, hi, look);
}
