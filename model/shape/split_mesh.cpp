#include "model/shape/split_mesh.h"

#include <cstdint>

std::vector<Mesh> SplitMesh(Mesh mesh) {
    std::vector<Mesh> pieces;
    if (mesh.vertices.size() <= kMaxMeshVertices && mesh.faces.size() <= kMaxMeshFaces) {
        pieces.push_back(std::move(mesh));
        return pieces;
    }
    // Where each vertex went in the piece being filled; -1 when not yet there.
    std::vector<int32_t> placed(mesh.vertices.size(), -1);
    std::vector<size_t> touched;
    Mesh piece;
    for (const Face& face : mesh.faces) {
        int fresh = 0;
        for (int32_t corner : {face.a, face.b, face.c}) fresh += placed[corner] < 0 ? 1 : 0;
        if (piece.faces.size() == kMaxMeshFaces ||
            piece.vertices.size() + fresh > kMaxMeshVertices) {
            pieces.push_back(std::move(piece));
            piece = Mesh();
            for (size_t v : touched) placed[v] = -1;
            touched.clear();
        }
        Face out = face;
        for (int32_t* corner : {&out.a, &out.b, &out.c}) {
            int32_t& to = placed[*corner];
            if (to < 0) {
                to = static_cast<int32_t>(piece.vertices.size());
                piece.vertices.push_back(mesh.vertices[*corner]);
                touched.push_back(static_cast<size_t>(*corner));
            }
            *corner = to;
        }
        piece.faces.push_back(out);
    }
    if (!piece.faces.empty()) pieces.push_back(std::move(piece));
    return pieces;
}
