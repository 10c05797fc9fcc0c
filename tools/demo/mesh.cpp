#include "tools/demo/mesh.h"

#include <cmath>  // sqrt

Vec3 operator+(Vec3 a, Vec3 b) {
    return Vec3{a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec3 operator-(Vec3 a, Vec3 b) {
    return Vec3{a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 operator*(Vec3 a, double s) {
    return Vec3{a.x * s, a.y * s, a.z * s};
}

double Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

double Length(Vec3 a) {
    return std::sqrt(Dot(a, a));
}

int32_t AddVertex(Mesh& mesh, Vec3 p, double u, double v) {
    Vertex vertex;
    vertex.x = static_cast<float>(p.x);
    vertex.y = static_cast<float>(p.y);
    vertex.z = static_cast<float>(p.z);
    vertex.u = static_cast<float>(u);
    vertex.v = static_cast<float>(v);
    mesh.vertices.push_back(vertex);
    return static_cast<int32_t>(mesh.vertices.size() - 1);
}

void AddTriangle(Mesh& mesh, int32_t a, int32_t b, int32_t c, TextureId texture) {
    Face face;
    face.a = a;
    face.b = b;
    face.c = c;
    face.texture = texture;
    face.hidden = mesh.hidden;
    mesh.faces.push_back(face);
}

void AddQuad(Mesh& mesh, int32_t a, int32_t b, int32_t c, int32_t d, TextureId texture) {
    AddTriangle(mesh, a, b, c, texture);
    AddTriangle(mesh, a, c, d, texture);
}
