#include "model/frame/framing.h"

#include <algorithm>  // max, min
#include <cmath>
#include <limits>

namespace {

struct Triple {
    double x, y, z;
};
Triple operator-(Triple a, Triple b) {
    return Triple{a.x - b.x, a.y - b.y, a.z - b.z};
}
Triple operator*(Triple a, double s) {
    return Triple{a.x * s, a.y * s, a.z * s};
}
double Length(Triple a) {
    return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}

constexpr double kDegrees = 3.14159265358979323846 / 180.0;

struct Box {
    Triple lo{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
              std::numeric_limits<double>::max()};
    Triple hi{-std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
              -std::numeric_limits<double>::max()};
};

// Over the corners of faces only: vertices no face uses may lie anywhere.
Box BoundsOf(const std::vector<Mesh>& meshes) {
    Box box;
    for (const Mesh& mesh : meshes) {
        for (const Face& face : mesh.faces) {
            for (int32_t corner : {face.a, face.b, face.c}) {
                const Vertex& v = mesh.vertices[corner];
                box.lo = Triple{std::min(box.lo.x, double{v.x}), std::min(box.lo.y, double{v.y}),
                                std::min(box.lo.z, double{v.z})};
                box.hi = Triple{std::max(box.hi.x, double{v.x}), std::max(box.hi.y, double{v.y}),
                                std::max(box.hi.z, double{v.z})};
            }
        }
    }
    return box;
}

// p turned by `degrees` about the x or the y axis, as glRotatef turns it.
Triple TurnX(Triple p, double degrees) {
    const double c = std::cos(degrees * kDegrees), s = std::sin(degrees * kDegrees);
    return Triple{p.x, p.y * c - p.z * s, p.y * s + p.z * c};
}
Triple TurnY(Triple p, double degrees) {
    const double c = std::cos(degrees * kDegrees), s = std::sin(degrees * kDegrees);
    return Triple{p.x * c + p.z * s, p.y, -p.x * s + p.z * c};
}

}  // namespace

bool FrameModel(std::vector<Mesh>& meshes, Framing& framing) {
    const Box box = BoundsOf(meshes);
    const Triple size = box.hi - box.lo;
    const double largest = std::max({size.x, size.y, size.z});
    if (!(largest > 0.0) || !std::isfinite(largest)) return false;

    // In model units, around the box's centre: the camera sits `distance` behind it along the
    // view direction. Each corner, turned into the camera's axes, asks for a distance at which
    // it lies inside the view; the largest of those frames them all.
    const double tanHalfHeight = std::tan(kVerticalFieldOfView / 2.0 * kDegrees) * kFrameFill;
    const double tanHalfWidth = tanHalfHeight * kAspect;
    std::vector<Triple> corners;  // as the view matrix turns them: yaw first, then pitch
    for (int i = 0; i < 8; ++i) {
        const Triple p{(i & 1 ? size.x : -size.x) / 2, (i & 2 ? size.y : -size.y) / 2,
                       (i & 4 ? size.z : -size.z) / 2};
        corners.push_back(TurnX(TurnY(p, -kViewYaw), -kViewPitch));
    }
    double distance = 0.0;
    for (const Triple& q : corners) {
        distance = std::max(
            {distance, q.z + std::abs(q.y) / tanHalfHeight, q.z + std::abs(q.x) / tanHalfWidth});
    }
    double farthest = 0.0;
    for (const Triple& q : corners) {
        farthest = std::max(farthest, Length(Triple{q.x, q.y, distance - q.z}));
    }

    framing.scale = kSharpDistance / farthest;
    const Triple base{(box.lo.x + box.hi.x) / 2, box.lo.y, (box.lo.z + box.hi.z) / 2};
    for (Mesh& mesh : meshes) {
        for (Vertex& v : mesh.vertices) {
            v.x = static_cast<float>((v.x - base.x) * framing.scale);
            v.y = static_cast<float>((v.y - base.y) * framing.scale);
            v.z = static_cast<float>((v.z - base.z) * framing.scale);
        }
    }
    const Triple eye =
        TurnY(TurnX(Triple{0, 0, 1}, kViewPitch), kViewYaw) * (distance * framing.scale);
    framing.camera = CameraStart{
        eye.x, size.y / 2 * framing.scale + eye.y, eye.z, kViewPitch, kViewYaw, kViewYaw};
    return true;
}
