// The writers of the three text formats, each declared beside its reader: object files
// (scene_object.h), camera files (camera.h) and scene files (scene_file.h).
#include "scene/camera.h"
#include "scene/scene_file.h"
#include "scene/scene_object.h"

#include <charconv>  // to_chars: exactly rounded, as printf's %.4f, without its locale and cost
#include <cmath>     // signbit
#include <cstdint>
#include <cstring>  // memcpy

namespace {

// Four decimals, trailing zeros dropped ("1.5", "-0.25", "3"), at `to`; returns the end. A tenth
// of a millimetre is finer than anything the viewer can show, and shorter numbers keep the
// committed files small. `to` has room for kNumberRoom characters.
constexpr size_t kNumberRoom = 340;  // the longest double written with four decimals, and a sign

// The digits of `value` times 10^4, rounded as to_chars rounds (to nearest, ties to even) and
// exactly, from the double's own bits: to_chars' general fixed-precision path costs about a
// tenth of a microsecond a number, the greater part of writing a large model's object files.
// False for magnitudes of 2^40 and above (and infinities, NaNs), which to_chars writes.
bool ScaledDigits(double value, uint64_t& scaled) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>(bits >> 52 & 0x7ff);
    uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
    if (biased >= 1023 + 40) return false;  // the infinities and NaNs among them
    if (biased != 0) mantissa |= uint64_t{1} << 52;
    // |value| = mantissa * 2^-shift, the shift at least 13 below 2^40, where the scaled digits
    // fit 64 bits.
    const int shift = 1075 - (biased == 0 ? 1 : biased);
    const unsigned __int128 times = static_cast<unsigned __int128>(mantissa) * 10000u;
    if (shift >= 128) {  // below 2^-74: nowhere near half of the last decimal
        scaled = 0;
        return true;
    }
    const unsigned __int128 quotient = times >> shift;
    const unsigned __int128 rest = times - (quotient << shift);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    scaled = static_cast<uint64_t>(quotient);
    if (rest > half || (rest == half && (scaled & 1) != 0)) ++scaled;
    return true;
}

char* PutNumber(char* to, double value) {
    uint64_t scaled = 0;
    if (!ScaledDigits(value, scaled)) {
        char* end = std::to_chars(to, to + kNumberRoom, value, std::chars_format::fixed, 4).ptr;
        while (end[-1] == '0') --end;
        if (end[-1] == '.') --end;
        return end;
    }
    char* at = to;
    if (std::signbit(value) && scaled != 0) *at++ = '-';  // "-0" from a tiny negative is "0"
    at = std::to_chars(at, at + 24, scaled / 10000).ptr;
    unsigned decimals = static_cast<unsigned>(scaled % 10000);
    if (decimals == 0) return at;
    *at++ = '.';
    int digits = 4;
    while (decimals % 10 == 0) {
        decimals /= 10;
        --digits;
    }
    for (int i = digits - 1; i >= 0; --i) {
        at[i] = static_cast<char>('0' + decimals % 10);
        decimals /= 10;
    }
    return at + digits;
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
