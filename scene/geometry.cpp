#include "scene/geometry.h"

#include <cmath>  // sqrt, isfinite

Vertex Subtract(Vertex p, Vertex q) {
    Vertex r;
    r.x = static_cast<float>(static_cast<double>(p.x) - q.x);
    r.y = static_cast<float>(static_cast<double>(p.y) - q.y);
    r.z = static_cast<float>(static_cast<double>(p.z) - q.z);
    return r;
}

Vertex CrossProduct(Vertex p, Vertex q) {
    const double px = p.x, py = p.y, pz = p.z;
    const double qx = q.x, qy = q.y, qz = q.z;
    Vertex r;
    r.x = static_cast<float>(py * qz - pz * qy);
    r.y = static_cast<float>(pz * qx - px * qz);
    r.z = static_cast<float>(px * qy - py * qx);
    return r;
}

float Magnitude(Vertex p) {
    const double x = p.x, y = p.y, z = p.z;
    return static_cast<float>(std::sqrt((x * x + y * y) + z * z));
}

Vertex Normalize(Vertex p) {
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

Vertex FaceNormal(Vertex A, Vertex B, Vertex C) {
    return Normalize(CrossProduct(Subtract(C, A), Subtract(B, A)));
}
