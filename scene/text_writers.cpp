// The writers of the three text formats, each declared beside its reader: object files
// (scene_object.h), camera files (camera.h) and scene files (scene_file.h).
#include "scene/camera.h"
#include "scene/scene_file.h"
#include "scene/scene_object.h"

#include <charconv>  // to_chars: exactly rounded, as printf's %.4f, without its locale and cost

namespace {

// Four decimals, trailing zeros dropped ("1.5", "-0.25", "3"), at `to`; returns the end. A tenth
// of a millimetre is finer than anything the viewer can show, and shorter numbers keep the
// committed files small. `to` has room for kNumberRoom characters.
constexpr size_t kNumberRoom = 340;  // the longest double written with four decimals, and a sign
char* PutNumber(char* to, double value) {
    char* end = std::to_chars(to, to + kNumberRoom, value, std::chars_format::fixed, 4).ptr;
    while (end[-1] == '0') --end;
    if (end[-1] == '.') --end;
    if (end - to == 2 && to[0] == '-' && to[1] == '0') {  // "-0" from a tiny negative
        to[0] = '0';
        end = to + 1;
    }
    return end;
}

std::string FormatNumber(double value) {
    char text[kNumberRoom];
    return std::string(text, PutNumber(text, value));
}

char* PutInteger(char* to, long value) {
    return std::to_chars(to, to + 24, value).ptr;
}

}  // namespace

std::string EncodeObject(const Mesh& mesh) {
    // Filled in place: a vertex line of five numbers takes under 60 characters in practice (the
    // scene's coordinates are small), so the string grows rarely.
    std::string out;
    out.reserve(64 + mesh.vertices.size() * 48 + mesh.faces.size() * 24);
    char line[5 * kNumberRoom + 8];
    auto append = [&](char* end) { out.append(line, static_cast<size_t>(end - line)); };
    char* at = PutInteger(line, static_cast<long>(mesh.vertices.size()));
    *at++ = ' ';
    at = PutInteger(at, static_cast<long>(mesh.faces.size()));
    for (const char c : std::string(" 0 0 0 ")) *at++ = c;
    at = PutInteger(at, mesh.hidden);
    *at++ = '\n';
    append(at);
    for (const Vertex& v : mesh.vertices) {
        at = line;
        for (const float value : {v.x, v.y, v.z, v.u, v.v}) {
            at = PutNumber(at, value);
            *at++ = ' ';
        }
        at[-1] = '\n';
        append(at);
    }
    for (const Face& f : mesh.faces) {
        at = line;
        for (const int32_t value : {f.a, f.b, f.c, f.texture}) {
            at = PutInteger(at, value);
            *at++ = ' ';
        }
        at[-1] = '\n';
        append(at);
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
