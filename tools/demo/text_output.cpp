#include "tools/demo/text_output.h"

#include <cstdio>  // snprintf

namespace {

// Four decimals, trailing zeros dropped ("1.5", "-0.25", "3"): a tenth of a millimetre is finer
// than anything the viewer can show, and shorter numbers keep the committed files small.
std::string FormatNumber(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", value);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

}  // namespace

std::string EncodeObject(const Mesh& mesh) {
    std::string out = std::to_string(mesh.vertices.size()) + " " +
                      std::to_string(mesh.faces.size()) + " 0 0 0 " + std::to_string(mesh.hidden) +
                      "\n";
    for (const Vertex& v : mesh.vertices) {
        out += FormatNumber(v.x) + " " + FormatNumber(v.y) + " " + FormatNumber(v.z) + " " +
               FormatNumber(v.u) + " " + FormatNumber(v.v) + "\n";
    }
    for (const Face& f : mesh.faces) {
        out += std::to_string(f.a) + " " + std::to_string(f.b) + " " + std::to_string(f.c) + " " +
               std::to_string(f.texture) + "\n";
    }
    return out;
}

std::string EncodeScene(const std::vector<Placement>& placements,
                        const std::vector<std::string>& textures, const std::string& camera) {
    std::string out =
        std::to_string(placements.size()) + " " + std::to_string(textures.size()) + "\n";
    for (const Placement& p : placements) {
        out += p.object + " " + FormatNumber(p.x) + " " + FormatNumber(p.y) + " " +
               FormatNumber(p.z) + " " + FormatNumber(p.scale) + "\n";
    }
    for (const std::string& texture : textures) out += texture + "\n";
    return out + camera + "\n";
}

std::string EncodeCamera(const CameraStart& c) {
    return FormatNumber(c.x) + " " + FormatNumber(c.y) + " " + FormatNumber(c.z) + " " +
           FormatNumber(c.pitch) + " " + FormatNumber(c.yaw) + " " + FormatNumber(c.heading) + "\n";
}
