// An object's triangles, as the shapes in boxes.h and round.h build them.
//
// Every face is wound counter-clockwise as seen from outside its solid. Texture coordinates
// are world metres divided by the texture's tile size, measured along each face, so that the
// pattern keeps one scale everywhere and runs on without a seam from one piece to the next.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/geometry.h"
#include "scene/scene_object.h"  // Mesh, the object file to write
#include "tools/demo/texture_ids.h"

struct Vec3 {
    double x, y, z;
};

Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, double s);
double Dot(Vec3 a, Vec3 b);
double Length(Vec3 a);

// The new vertex's index.
int32_t AddVertex(Mesh& mesh, Vec3 p, double u, double v);

// Hidden when the mesh is.
void AddTriangle(Mesh& mesh, int32_t a, int32_t b, int32_t c, TextureId texture);

// Corners a, b, c, d counter-clockwise from outside; split along a-c.
void AddQuad(Mesh& mesh, int32_t a, int32_t b, int32_t c, int32_t d, TextureId texture);
