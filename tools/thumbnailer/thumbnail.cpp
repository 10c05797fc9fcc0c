#include "tools/thumbnailer/thumbnail.h"

#include <GL/gl.h>

#include <algorithm>  // max, min
#include <cmath>

#include "render/scene_render.h"  // DrawSceneOnce

namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180.0;
constexpr double kMargin = 0.03;         // of the picture's larger side, on each side
constexpr int32_t kMaxDrawnSide = 2048;  // the side drawn: enough samples, a bounded cost

// A corner as the camera sees it: DrawScene's view (the world moved by minus the camera's
// position, turned by minus its yaw about y, then by minus its pitch about x), looking along -z.
struct Seen {
    double x, y, z;
};

Seen SeenFrom(const CameraStart& camera, const Vertex& v) {
    const double x = v.x - camera.x, y = v.y - camera.y, z = v.z - camera.z;
    const double cy = std::cos(-camera.yaw * kDegrees), sy = std::sin(-camera.yaw * kDegrees);
    const double turnedX = x * cy + z * sy, turnedZ = -x * sy + z * cy;
    const double cp = std::cos(-camera.pitch * kDegrees), sp = std::sin(-camera.pitch * kDegrees);
    return Seen{turnedX, y * cp - turnedZ * sp, y * sp + turnedZ * cp};
}

// A soft grey edge around the model, under it: it keeps a light model apart from a white
// background and a dark one from a black one, as file managers may have either.
constexpr double kOutlineGrey = 128.0;
constexpr double kOutlineOpacity = 0.5;

void Outline(Image& picture, int radius) {
    const int w = picture.width, h = picture.height;
    const size_t pixels = static_cast<size_t>(w) * h;
    // The model's alpha spread over a disc: row by row over growing widths (across[k]: the most
    // within k pixels to either side), then each pixel takes, from the rows within the radius,
    // the width of the disc at that row's distance.
    std::vector<std::vector<uint8_t>> across(static_cast<size_t>(radius) + 1,
                                             std::vector<uint8_t>(pixels));
    for (size_t i = 0; i < pixels; ++i) across[0][i] = picture.rgba[i * 4 + 3];
    for (int k = 1; k <= radius; ++k) {
        const std::vector<uint8_t>& narrower = across[static_cast<size_t>(k) - 1];
        std::vector<uint8_t>& wider = across[static_cast<size_t>(k)];
        for (int y = 0; y < h; ++y) {
            const size_t row = static_cast<size_t>(y) * w;
            for (int x = 0; x < w; ++x) {
                wider[row + x] = std::max({narrower[row + x], narrower[row + std::max(x - 1, 0)],
                                           narrower[row + std::min(x + 1, w - 1)]});
            }
        }
    }
    std::vector<uint8_t> near(pixels, 0);
    for (int dy = -radius; dy <= radius; ++dy) {
        const std::vector<uint8_t>& row = across[static_cast<size_t>(
            std::lround(std::floor(std::sqrt(double(radius * radius - dy * dy)))))];
        for (int y = std::max(0, -dy); y < std::min(h, h - dy); ++y) {
            const uint8_t* from = &row[static_cast<size_t>(y + dy) * w];
            uint8_t* to = &near[static_cast<size_t>(y) * w];
            for (int x = 0; x < w; ++x) to[x] = std::max(to[x], from[x]);
        }
    }
    for (size_t i = 0; i < near.size(); ++i) {
        uint8_t* p = &picture.rgba[i * 4];
        const double a = p[3] / 255.0, under = kOutlineOpacity * near[i] / 255.0;
        const double out = a + under * (1.0 - a);
        if (!(out > 0.0)) continue;
        for (int k = 0; k < 3; ++k) {
            p[k] = static_cast<uint8_t>(
                std::lround((p[k] * a + kOutlineGrey * under * (1.0 - a)) / out));
        }
        p[3] = static_cast<uint8_t>(std::lround(255.0 * out));
    }
}

}  // namespace

bool FitThumbnail(const std::vector<Mesh>& meshes, const CameraStart& camera, int32_t size,
                  ThumbnailView& view) {
    double left = 1e30, right = -1e30, bottom = 1e30, top = -1e30, nearest = 1e30, farthest = 0;
    for (const Mesh& mesh : meshes) {
        for (const Face& face : mesh.faces) {
            for (int32_t corner : {face.a, face.b, face.c}) {
                const Seen p = SeenFrom(camera, mesh.vertices[static_cast<size_t>(corner)]);
                const double depth = -p.z;
                if (!(depth > 1e-6)) continue;  // framed models lie in front of the camera
                left = std::min(left, p.x / depth);
                right = std::max(right, p.x / depth);
                bottom = std::min(bottom, p.y / depth);
                top = std::max(top, p.y / depth);
                nearest = std::min(nearest, depth);
                farthest = std::max(farthest, depth);
            }
        }
    }
    if (!(farthest > 0)) return false;
    const double margin = kMargin * std::max(right - left, top - bottom);
    const double extent = std::max(right - left, top - bottom) + 2 * margin;
    if (!(extent > 0) || !std::isfinite(extent)) return false;
    view.left = left - margin;
    view.right = right + margin;
    view.bottom = bottom - margin;
    view.top = top + margin;
    view.width = std::max<int32_t>(1, std::lround(size * (view.right - view.left) / extent));
    view.height = std::max<int32_t>(1, std::lround(size * (view.top - view.bottom) / extent));
    // Planes just around the model give the 16-bit depth buffer all its steps.
    view.nearPlane = nearest * 0.9;
    view.farPlane = farthest * 1.1;
    view.samples = std::max<int32_t>(1, std::min<int32_t>(4, kMaxDrawnSide / size));
    return true;
}

Image DrawThumbnail(Scene& scene, const ThumbnailView& view) {
    const int32_t s = view.samples, w = view.width * s, h = view.height * s;
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(view.left * view.nearPlane, view.right * view.nearPlane, view.bottom * view.nearPlane,
              view.top * view.nearPlane, view.nearPlane, view.farPlane);
    glMatrixMode(GL_MODELVIEW);
    DrawSceneOnce(scene);
    std::vector<uint8_t> colour(static_cast<size_t>(w) * h * 4);
    std::vector<float> depth(static_cast<size_t>(w) * h);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, colour.data());
    glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    // What the model covers is what it wrote depth for: the clear depth is the far end, 1.
    Image picture = MakeImage(view.width, view.height, true);
    for (int32_t y = 0; y < view.height; ++y) {
        for (int32_t x = 0; x < view.width; ++x) {
            double sum[3] = {0, 0, 0};
            int covered = 0;
            for (int32_t j = 0; j < s; ++j) {
                for (int32_t i = 0; i < s; ++i) {
                    const size_t at = static_cast<size_t>(y * s + j) * w + (x * s + i);
                    if (!(depth[at] < 1.0f)) continue;
                    ++covered;
                    for (int k = 0; k < 3; ++k) sum[k] += colour[at * 4 + k];
                }
            }
            uint8_t* out = &picture.rgba[(static_cast<size_t>(y) * view.width + x) * 4];
            for (int k = 0; k < 3; ++k) {
                out[k] = covered > 0 ? static_cast<uint8_t>(std::lround(sum[k] / covered)) : 0;
            }
            out[3] = static_cast<uint8_t>(std::lround(255.0 * covered / (s * s)));
        }
    }
    Outline(picture, std::max(1, view.width > view.height ? view.width / 128 : view.height / 128));
    return picture;
}
