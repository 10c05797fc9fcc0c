#include "model/light/picture_light.h"

#include <algorithm>  // max, min
#include <cmath>
#include <cstring>  // memcmp

#include "model/light/shading.h"

namespace {

// Texture coordinates this far outside 0 to 1 are still taken as the picture's edge.
constexpr float kEdgeSlack = 2e-3f;
// Two faces drawn on one texel must be lit within this much of each other (of a brightness from
// 0 to 1), but for this share of a face's texels.
constexpr float kSameLight = 0.1f;
constexpr double kMostDiffering = 0.1;
// A picture is left unlit when more than this share of the texels drawn had to be drawn against
// another face's light: the layout is not an unwrapped surface.
constexpr double kMostConflicting = 0.02;
// Texels no face covers, next to those that are, get their neighbours' light this many texels
// deep, so that the filter does not blend unlit texels into a part's edge.
constexpr int kBleed = 4;

bool Inside(float coordinate) {
    return coordinate >= -kEdgeSlack && coordinate <= 1.0f + kEdgeSlack;
}

struct Texel {
    int32_t index;     // in one copy of the picture
    float brightness;  // of the surface drawn there
};

// The texel centres inside `face`, whose corners lie at (x, y) in texels.
void Cover(const PictureFace& face, const double* x, const double* y, double area, int w, int h,
           std::vector<Texel>& out) {
    const int x0 = std::max(0, static_cast<int>(std::ceil(std::min({x[0], x[1], x[2]}))));
    const int x1 = std::min(w - 1, static_cast<int>(std::floor(std::max({x[0], x[1], x[2]}))));
    const int y0 = std::max(0, static_cast<int>(std::ceil(std::min({y[0], y[1], y[2]}))));
    const int y1 = std::min(h - 1, static_cast<int>(std::floor(std::max({y[0], y[1], y[2]}))));
    // A flat face (one normal at every corner, as on a box) is lit alike all over.
    const bool flat = std::memcmp(&face.normal[0], &face.normal[1], sizeof(Normal)) == 0 &&
                      std::memcmp(&face.normal[0], &face.normal[2], sizeof(Normal)) == 0;
    const float flatBrightness = flat ? static_cast<float>(Brightness(face.normal[0])) : 0.0f;
    for (int ty = y0; ty <= y1; ++ty) {
        for (int tx = x0; tx <= x1; ++tx) {
            const double b1 = ((tx - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (ty - y[0])) / area;
            const double b2 = ((x[1] - x[0]) * (ty - y[0]) - (tx - x[0]) * (y[1] - y[0])) / area;
            const double weights[3] = {1.0 - b1 - b2, b1, b2};
            if (weights[0] < 0.0 || b1 < 0.0 || b2 < 0.0) continue;
            if (flat) {
                out.push_back(Texel{ty * w + tx, flatBrightness});
                continue;
            }
            double n[3] = {0, 0, 0};
            for (int k = 0; k < 3; ++k) {
                n[0] += weights[k] * face.normal[k].x;
                n[1] += weights[k] * face.normal[k].y;
                n[2] += weights[k] * face.normal[k].z;
            }
            const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            if (!(length > 0.0)) continue;
            const Normal unit{static_cast<float>(n[0] / length), static_cast<float>(n[1] / length),
                              static_cast<float>(n[2] / length)};
            out.push_back(Texel{ty * w + tx, static_cast<float>(Brightness(unit))});
        }
    }
}

// The texel centres `face` covers, with the brightness of the surface at each; a face too small
// to cover one gets the texel under its middle.
void Rasterize(const PictureFace& face, int w, int h, std::vector<Texel>& out) {
    double x[3], y[3];
    for (int k = 0; k < 3; ++k) {
        x[k] = face.u[k] * w - 0.5;  // texel centres at whole numbers
        y[k] = face.v[k] * h - 0.5;
    }
    const double area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    const size_t before = out.size();
    if (area != 0.0) Cover(face, x, y, area, w, h, out);
    if (out.size() > before) return;
    const int tx = std::clamp(static_cast<int>(std::lround((x[0] + x[1] + x[2]) / 3)), 0, w - 1);
    const int ty = std::clamp(static_cast<int>(std::lround((y[0] + y[1] + y[2]) / 3)), 0, h - 1);
    out.push_back(Texel{ty * w + tx, static_cast<float>(Brightness(face.normal[0]))});
}

// At least as many texels as the faces cover (and Rasterize draws): no more lie in a triangle than
// its area, half its perimeter and one; a face too small for any draws one.
double MostTexels(const std::vector<PictureFace>& faces, int w, int h) {
    double most = 0.0;
    for (const PictureFace& face : faces) {
        double area = 0.0, perimeter = 0.0;
        for (int k = 0; k < 3; ++k) {
            const int l = (k + 1) % 3;
            const double x = face.u[k] * w, y = face.v[k] * h;
            const double nx = face.u[l] * w, ny = face.v[l] * h;
            area += x * ny - nx * y;
            perimeter += std::hypot(nx - x, ny - y);
        }
        most += std::abs(area) / 2 + perimeter / 2 + 1;
    }
    return most;
}

// Light for texels no face covers, from those beside them.
void Bleed(std::vector<float>& light, int w, int h) {
    for (int pass = 0; pass < kBleed; ++pass) {
        std::vector<float> next = light;
        for (int ty = 0; ty < h; ++ty) {
            for (int tx = 0; tx < w; ++tx) {
                if (light[static_cast<size_t>(ty) * w + tx] >= 0.0f) continue;
                double sum = 0.0;
                int count = 0;
                for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    const int nx = tx + dx, ny = ty + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    const float there = light[static_cast<size_t>(ny) * w + nx];
                    if (there >= 0.0f) sum += there, ++count;
                }
                if (count > 0)
                    next[static_cast<size_t>(ty) * w + tx] = static_cast<float>(sum / count);
            }
        }
        light.swap(next);
    }
}

// The faces in an order where each follows one it shares a vertex with, wherever it can, with
// that neighbour (or itself, when it has none before it): a face can then try its neighbour's
// copy first.
std::vector<std::pair<uint32_t, uint32_t>> NeighbourOrder(const std::vector<PictureFace>& faces) {
    uint32_t vertices = 0;
    for (const PictureFace& face : faces) {
        for (uint32_t v : face.vertex) vertices = std::max(vertices, v + 1);
    }
    std::vector<uint32_t> start(vertices + 1, 0), around(faces.size() * 3);
    for (const PictureFace& face : faces) {
        for (uint32_t v : face.vertex) ++start[v + 1];
    }
    for (uint32_t v = 0; v < vertices; ++v) start[v + 1] += start[v];
    std::vector<uint32_t> fill(start.begin(), start.end() - 1);
    for (size_t f = 0; f < faces.size(); ++f) {
        for (uint32_t v : faces[f].vertex) around[fill[v]++] = static_cast<uint32_t>(f);
    }
    std::vector<std::pair<uint32_t, uint32_t>> order;
    std::vector<bool> queued(faces.size(), false);
    for (uint32_t seed = 0; seed < faces.size(); ++seed) {
        if (queued[seed]) continue;
        queued[seed] = true;
        order.emplace_back(seed, seed);
        for (size_t next = order.size() - 1; next < order.size(); ++next) {
            const uint32_t from = order[next].first;
            for (uint32_t v : faces[from].vertex) {
                for (uint32_t i = start[v]; i < start[v + 1]; ++i) {
                    if (queued[around[i]]) continue;
                    queued[around[i]] = true;
                    order.emplace_back(around[i], from);
                }
            }
        }
    }
    return order;
}

}  // namespace

bool LightPicture(const Image& picture, const std::vector<PictureFace>& faces, int maxSide,
                  LitPicture& lit) {
    lit = LitPicture();
    const int w = picture.width, h = picture.height;
    const int most = std::max(1, maxSide / h);
    for (const PictureFace& face : faces) {
        for (int k = 0; k < 3; ++k) {
            if (!Inside(face.u[k]) || !Inside(face.v[k])) return false;
        }
    }
    // Each face goes into its neighbour's copy, or else the first, where it would change almost
    // none of the light already there: neighbours light the texels along their edge alike,
    // mirrored faces do not. Where every copy there may be is taken, a face goes where it
    // changes least.
    std::vector<std::vector<float>> light;  // by copy; -1 where no face is
    std::vector<uint8_t> copyOf(faces.size(), 0);
    std::vector<Texel> texels;
    std::vector<long> differs;  // the face's texels each copy lights otherwise; -1: not counted yet
    auto differing = [&](size_t copy) {
        if (differs.size() <= copy) differs.resize(copy + 1, -1);
        if (differs[copy] >= 0) return differs[copy];
        long count = 0;
        for (const Texel& t : texels) {
            const float there = light[copy][t.index];
            count += there >= 0.0f && std::abs(there - t.brightness) > kSameLight ? 1 : 0;
        }
        return differs[copy] = count;
    };
    auto fits = [&](size_t copy) {
        return differing(copy) <=
               std::max(1.0, kMostDiffering * static_cast<double>(texels.size()));
    };
    long conflicts = 0, drawn = 0;  // texels lit against another face's light, and in all
    // The most texels the faces can draw: once the conflicts pass their share of that, the
    // picture is left unlit whatever the faces still to come draw.
    const double mostConflicts = kMostConflicting * MostTexels(faces, w, h);
    for (const auto& [f, neighbour] : NeighbourOrder(faces)) {
        if (conflicts > mostConflicts) return false;
        texels.clear();
        differs.clear();
        Rasterize(faces[f], w, h, texels);
        size_t copy = neighbour != f ? copyOf[neighbour] : 0;
        if (light.empty() || !fits(copy)) {
            for (copy = 0; copy < light.size() && !fits(copy); ++copy) {
            }
            if (copy == light.size() && static_cast<int>(copy) == most) {
                copy = 0;
                for (size_t c = 1; c < light.size(); ++c) {
                    if (differing(c) < differing(copy)) copy = c;
                }
                conflicts += differing(copy);
            } else if (copy == light.size()) {
                light.emplace_back(static_cast<size_t>(w) * h, -1.0f);
            }
        }
        copyOf[f] = static_cast<uint8_t>(copy);
        drawn += static_cast<long>(texels.size());
        for (const Texel& t : texels) {
            float& there = light[copy][t.index];
            there = there >= 0.0f ? (there + t.brightness) / 2 : t.brightness;
        }
    }
    if (light.empty() || conflicts > kMostConflicting * static_cast<double>(drawn)) return false;
    const int copies = static_cast<int>(light.size());
    lit.image = MakeImage(w, h * copies, picture.alpha);
    for (int copy = 0; copy < copies; ++copy) {
        Bleed(light[copy], w, h);
        uint8_t* to = lit.image.rgba.data() + static_cast<size_t>(copy) * w * h * 4;
        for (size_t t = 0; t < light[copy].size(); ++t) {
            const float shade = light[copy][t] >= 0.0f ? light[copy][t] : 1.0f;
            for (int c = 0; c < 3; ++c) {
                to[t * 4 + c] = static_cast<uint8_t>(std::lround(picture.rgba[t * 4 + c] * shade));
            }
            to[t * 4 + 3] = picture.rgba[t * 4 + 3];
        }
    }
    lit.copies = copies;
    lit.copyOf = std::move(copyOf);
    return true;
}
