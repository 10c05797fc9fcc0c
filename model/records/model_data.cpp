#include "model/records/model_data.h"

#include <cmath>  // isfinite

namespace {

const char* const kAxisNames[] = {"+X", "-X", "+Y", "-Y", "+Z", "-Z"};

bool AllFinite(const std::vector<float>& values) {
    for (float value : values) {
        if (!std::isfinite(value)) return false;
    }
    return true;
}

bool IsSide(int32_t side) {
    return side >= 1 && side <= kMaxTextureSide && (side & (side - 1)) == 0;
}

bool CheckMesh(const SourceMesh& mesh, const ModelData& model, std::string& error) {
    const size_t n = mesh.positions.size() / 3;
    if (mesh.positions.size() % 3 != 0 || n == 0 || n > 0xFFFFFFFFu) {
        error = "vertex positions do not come in threes";
    } else if (!mesh.normals.empty() && mesh.normals.size() != n * 3) {
        error = "normals do not match the vertices";
    } else if (!mesh.uvs.empty() && mesh.uvs.size() != n * 2) {
        error = "texture coordinates do not match the vertices";
    } else if (!mesh.colours.empty() && mesh.colours.size() != n * 4) {
        error = "vertex colours do not match the vertices";
    } else if (mesh.triangles.empty() || mesh.triangles.size() % 3 != 0) {
        error = "corners do not come in threes";
    } else if (mesh.material >= model.materials.size()) {
        error = "a mesh names a material that is not there";
    } else if (!AllFinite(mesh.positions) || !AllFinite(mesh.normals) || !AllFinite(mesh.uvs)) {
        error = "a number is not finite";
    } else {
        for (uint32_t corner : mesh.triangles) {
            if (corner >= n) {
                error = "a corner names a vertex that is not there";
                return false;
            }
        }
        return true;
    }
    return false;
}

bool CheckPicture(const SourcePicture& picture, std::string& error) {
    const Image& image = picture.image;
    if (!IsSide(image.width) || !IsSide(image.height) ||
        image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4) {
        error = "a picture's size does not match its pixels";
        return false;
    }
    return true;
}

}  // namespace

bool CheckModelData(const ModelData& model, std::string& error) {
    if (model.meshes.empty()) {
        error = "no triangle is left to show";
        return false;
    }
    for (const SourceMesh& mesh : model.meshes) {
        if (!CheckMesh(mesh, model, error)) return false;
    }
    for (const SourceMaterial& material : model.materials) {
        if (material.picture < -1 ||
            material.picture >= static_cast<int64_t>(model.pictures.size()) ||
            !(material.colour[0] >= 0.0f && material.colour[0] <= 1.0f) ||
            !(material.colour[1] >= 0.0f && material.colour[1] <= 1.0f) ||
            !(material.colour[2] >= 0.0f && material.colour[2] <= 1.0f)) {
            error = "a material names a picture that is not there or has no colour";
            return false;
        }
    }
    for (const SourcePicture& picture : model.pictures) {
        if (!CheckPicture(picture, error)) return false;
    }
    if (static_cast<int>(model.up.axis) > static_cast<int>(Axis::MinusZ)) {
        error = "the up axis is not one of the six";
        return false;
    }
    return true;
}

const char* AxisName(Axis axis) {
    return kAxisNames[static_cast<int>(axis)];
}

bool ParseAxis(const std::string& text, Axis& axis) {
    std::string name = text;
    if (name.size() == 1) name = "+" + name;
    if (name.size() != 2) return false;
    if (name[1] >= 'a' && name[1] <= 'z') name[1] = static_cast<char>(name[1] - 'a' + 'A');
    for (int i = 0; i < 6; ++i) {
        if (name == kAxisNames[i]) {
            axis = static_cast<Axis>(i);
            return true;
        }
    }
    return false;
}
