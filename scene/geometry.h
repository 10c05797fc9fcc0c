// Geometry records and the vector operations on them.
//
// Every operation takes its arguments by value and returns a new value. Expressions are
// evaluated in double precision; a component becomes a 32-bit float only when it is stored.
// The operations are defined here, inline, because scene compilation runs FaceNormal once per
// face: called out of line, the calls alone doubled the cost of a million normals.
#pragma once

#include <cmath>  // sqrt, isfinite
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
inline Vertex Subtract(Vertex p, Vertex q) {
    Vertex r;
    r.x = static_cast<float>(static_cast<double>(p.x) - q.x);
    r.y = static_cast<float>(static_cast<double>(p.y) - q.y);
    r.z = static_cast<float>(static_cast<double>(p.z) - q.z);
    return r;
}

// p x q; only x, y, z carry a value.
inline Vertex CrossProduct(Vertex p, Vertex q) {
    const double px = p.x, py = p.y, pz = p.z;
    const double qx = q.x, qy = q.y, qz = q.z;
    Vertex r;
    r.x = static_cast<float>(py * qz - pz * qy);
    r.y = static_cast<float>(pz * qx - px * qz);
    r.z = static_cast<float>(px * qy - py * qx);
    return r;
}

// Length of (x, y, z), squares summed in double precision.
inline float Magnitude(Vertex p) {
    const double x = p.x, y = p.y, z = p.z;
    return static_cast<float>(std::sqrt((x * x + y * y) + z * z));
}

// p scaled to length 1, keeping p's u and v. A vector of length zero (or one whose length is
// not finite) has no direction: the result is the zero vector, never NaN or infinity.
inline Vertex Normalize(Vertex p) {
    const float m = Magnitude(p);
    Vertex r = p;
    // A zero or non-finite length has no direction; the zero vector is the one value that is
    // harmless where normals go (GL, the report), where a division would give NaN.
    if (!(m > 0.0f) || !std::isfinite(m)) {
        r.x = r.y = r.z = 0.0f;
        return r;
    }
    r.x = static_cast<float>(static_cast<double>(p.x) / m);
    r.y = static_cast<float>(static_cast<double>(p.y) / m);
    r.z = static_cast<float>(static_cast<double>(p.z) / m);
    return r;
}

// Unit normal of the triangle (A, B, C) = Normalize((C - A) x (B - A)). It points away from a
// viewer who sees A, B, C run counter-clockwise. A degenerate triangle gives the zero vector.
inline Vertex FaceNormal(Vertex A, Vertex B, Vertex C) {
    return Normalize(CrossProduct(Subtract(C, A), Subtract(B, A)));
}
