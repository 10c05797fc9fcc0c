#include "tests/support/model_table.h"

#include <algorithm>  // nth_element
#include <cmath>
#include <set>

const std::string kModels = "/usr/share/assimp/models/";

const std::vector<ModelCase>& ModelTable() {
    static const std::vector<ModelCase> table = {
        {"Collada/duck.dae", 4212, true, "import_duck", "duckCM.tga"},
        // Named "\..\LWO\LWO2\MappingModes\EarthCylindric.jpg": out of the model's folder, Windows
        // separators, and another letter case than the file earthCylindric.jpg.
        {"Collada/earthCylindrical.DAE", 1920, true, "", "earthCylindric.jpg", true},
        {"X/test.x", 12, true, "import_cube"},
        {"glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb", 121496, false, "import_engine"},
        {"glTF2/BoxTextured-glTF-Binary/BoxTextured.glb", 12, true, ""},
        {"glTF2/BoxTextured-glTF/BoxTextured.gltf", 12, true, ""},
        {"glTF2/BoxTextured-glTF-Embedded/BoxTextured.gltf", 12, true, ""},
        {"OBJ/spider.obj", 1368, true, ""},
        {"3DS/cube_with_diffuse_texture.3DS", 12, true, ""},
        {"3DS/test1.3ds", 108, true, ""},
        {"MS3D/jeep1.ms3d", 2032, true, ""},
        {"IQM/mrfixit.iqm", 2988, true, ""},
        {"OBJ/WusonOBJ.obj", 3732, false, ""},
        {"PLY/Wuson.ply", 3732, false, ""},
        {"PLY/cube_binary.ply", 12, false, ""},
        {"STL/Spider_binary.stl", 1368, false, ""},
        {"FBX/spider.fbx", 1368, false, ""},
        {"FBX/cubes_with_mirroring_and_pivot.fbx", 420, false, ""},
        {"FBX/huesitos.fbx", 120, false, ""},
        {"Collada/teapot_instancenodes.DAE", 2048, false, ""},
        {"BLEND/Suzanne_248.blend", 3872, false, ""},
        {"AC/Wuson.ac", 3732, false, ""},
        {"MD2/faerie.md2", 654, false, ""},
        {"STL/sphereWithHole.stl", 285, false, "import_sphere"},
        {"3DS/fels.3ds", 768, false, "import_rock"},
        {"OBJ/cube_with_vertexcolors.obj", 12, false, "import_colour_cube"},
    };
    return table;
}

namespace {

constexpr uint8_t kClear = 26;  // the viewer's clear colour 0.1, as the 16-bit window stores it

bool ShowsModel(const uint8_t* p, Background background) {
    if (background == Background::Transparent) return p[3] == 255;
    return !(p[0] == kClear && p[1] == kClear && p[2] == kClear);
}

double BrightnessAt(const uint8_t* p) {
    return (p[0] + p[1] + p[2]) / 3.0;
}

}  // namespace

double FormShown(const Image& picture, Background background) {
    std::vector<double> brightness;
    for (size_t i = 0; i < picture.rgba.size(); i += 4) {
        if (ShowsModel(&picture.rgba[i], background)) {
            brightness.push_back(BrightnessAt(&picture.rgba[i]));
        }
    }
    if (brightness.empty()) return 0.0;
    std::vector<double> sorted = brightness;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double median = sorted[sorted.size() / 2];
    long differing = 0;
    for (double b : brightness) differing += std::abs(b - median) > 0.1 * median ? 1 : 0;
    return static_cast<double>(differing) / brightness.size();
}

Coverage Measure(const Image& picture, Background background) {
    Coverage coverage;
    std::set<uint32_t> colours;
    long covered = 0;
    double sum[3] = {0, 0, 0};
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
            if (!ShowsModel(p, background)) continue;
            ++covered;
            for (int k = 0; k < 3; ++k) sum[k] += p[k];
            colours.insert(p[0] << 16 | p[1] << 8 | p[2]);
            coverage.onEdge = coverage.onEdge || x == 0 || y == 0 || x == picture.width - 1 ||
                              y == picture.height - 1;
        }
    }
    coverage.share = static_cast<double>(covered) / (picture.width * picture.height);
    coverage.colours = colours.size();
    if (covered > 0) coverage.mean = Rgb{sum[0] / covered, sum[1] / covered, sum[2] / covered};
    return coverage;
}
