// Geometry records and the vector operations on them.
//
// Every operation takes its arguments by value and returns a new value. Expressions are
// evaluated in double precision; a component becomes a 32-bit float only when it is stored.
#pragma once

#include <cstdint>

// A point with a texture coordinate.
struct Vertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;  // position
    float u = 0.0f, v = 0.0f;            // texture coordinate
};

// A triangle naming three corners of one vertex array by index (from 0).
struct Face {
    int32_t a = 0, b = 0, c = 0;
    int32_t texture = 0;                    // index into the scene's TextureSet
    int32_t hidden = 0;                     // non-zero: never drawn
    float nx = 0.0f, ny = 0.0f, nz = 0.0f;  // unit normal, filled by scene compilation
};

// p - q; the result's u and v are 0.
Vertex Subtract(Vertex p, Vertex q);
// p x q; only x, y, z carry a value.
Vertex CrossProduct(Vertex p, Vertex q);
// Length of (x, y, z), squares summed in double precision.
float Magnitude(Vertex p);
// p scaled to length 1, keeping p's u and v. A vector of length zero (or one whose length is
// not finite) has no direction: the result is the zero vector, never NaN or infinity.
Vertex Normalize(Vertex p);
// Unit normal of the triangle (A, B, C) = Normalize((C - A) x (B - A)). It points away from a
// viewer who sees A, B, C run counter-clockwise. A degenerate triangle gives the zero vector.
Vertex FaceNormal(Vertex A, Vertex B, Vertex C);
