#include "model/read/material_texture.h"

#include <assimp/material.h>
#include <assimp/scene.h>

#include <algorithm>  // max, min, replace
#include <cctype>     // tolower
#include <cmath>      // isfinite
#include <filesystem>
#include <vector>

#include "scene/mapped_file.h"
#include "model/read/texture_image.h"

namespace {

namespace fs = std::filesystem;

std::string Lowercase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The entry of `directory` called `name`, as written or else in another letter case; empty when
// there is none.
fs::path EntryNamed(const fs::path& directory, const std::string& name) {
    std::error_code error;
    if (fs::exists(directory / name, error)) return directory / name;
    const std::string wanted = Lowercase(name);
    for (const fs::directory_entry& entry : fs::directory_iterator(directory, error)) {
        if (Lowercase(entry.path().filename().string()) == wanted) return entry.path();
    }
    return {};
}

// `relative` followed from `directory` a part at a time, each part found in any letter case and
// ".." climbing; empty when a part is not there.
fs::path Follow(const fs::path& directory, const fs::path& relative) {
    fs::path at = directory;
    for (const fs::path& part : relative) {
        const std::string name = part.string();
        if (name.empty() || name == ".") continue;
        at = name == ".." ? at / name : EntryNamed(at, name);
        if (at.empty()) return {};
    }
    return at;
}

}  // namespace

std::string FindPictureFile(std::string reference, const std::string& modelDirectory) {
    if (reference.empty()) return "";
    std::replace(reference.begin(), reference.end(), '\\', '/');
    const fs::path named(reference), directory(modelDirectory.empty() ? "." : modelDirectory);
    std::error_code error;
    for (const fs::path& candidate :
         {named.is_absolute() ? named : fs::path(), Follow(directory, named.relative_path()),
          EntryNamed(directory, named.filename().string())}) {
        if (!candidate.empty() && fs::is_regular_file(candidate, error)) return candidate.string();
    }
    return "";
}

namespace {

bool DecodeFile(const std::string& path, Image& image, std::string& error) {
    MappedFile file;
    if (!OpenMappedFile(path.c_str(), file)) {
        error = "cannot be opened";
        return false;
    }
    const bool decoded =
        DecodeTexture(reinterpret_cast<const uint8_t*>(file.data), file.size, image, error);
    CloseMappedFile(file);
    return decoded;
}

// An embedded picture is either a whole file in memory (height 0, width its size in bytes) or
// raw B G R A texels, top row first.
bool DecodeEmbedded(const aiTexture& embedded, Image& image, std::string& error) {
    if (embedded.mHeight == 0) {
        return DecodeTexture(reinterpret_cast<const uint8_t*>(embedded.pcData), embedded.mWidth,
                             image, error);
    }
    const long pixels = static_cast<long>(embedded.mWidth) * embedded.mHeight;
    if (pixels > kMaxPicturePixels) {
        error = "embedded picture too large";
        return false;
    }
    std::vector<uint8_t> rgba(static_cast<size_t>(pixels) * 4);
    for (long i = 0; i < pixels; ++i) {
        const aiTexel& texel = embedded.pcData[i];
        rgba[i * 4] = texel.r;
        rgba[i * 4 + 1] = texel.g;
        rgba[i * 4 + 2] = texel.b;
        rgba[i * 4 + 3] = texel.a;
    }
    image = MakeTexture(static_cast<int>(embedded.mWidth), static_cast<int>(embedded.mHeight),
                        rgba.data());
    return true;
}

}  // namespace

SourceMaterial ReadMaterial(const aiScene& scene, unsigned material,
                            const std::string& modelDirectory, KnownPictures& known,
                            ModelData& model) {
    const aiMaterial& m = *scene.mMaterials[material];
    SourceMaterial out;
    out.name = m.GetName().C_Str();
    aiColor4D colour(out.colour[0], out.colour[1], out.colour[2], 1.0f);
    if (m.Get(AI_MATKEY_COLOR_DIFFUSE, colour) != AI_SUCCESS) m.Get(AI_MATKEY_BASE_COLOR, colour);
    const float read[3] = {colour.r, colour.g, colour.b};
    for (int i = 0; i < 3; ++i) {
        out.colour[i] = std::isfinite(read[i]) ? std::min(std::max(read[i], 0.0f), 1.0f) : 0.0f;
    }
    aiString reference;
    if (m.GetTexture(aiTextureType_DIFFUSE, 0, &reference) != AI_SUCCESS &&
        m.GetTexture(aiTextureType_BASE_COLOR, 0, &reference) != AI_SUCCESS) {
        return out;
    }
    const auto [embedded, embeddedIndex] = scene.GetEmbeddedTextureAndIndex(reference.C_Str());
    const std::string file =
        embedded != nullptr ? "" : FindPictureFile(reference.C_Str(), modelDirectory);
    const std::string key =
        embedded != nullptr ? "embedded " + std::to_string(embeddedIndex) : "file " + file;
    const auto found = known.find(key);
    if (found != known.end()) {
        out.picture = found->second;
        return out;
    }
    SourcePicture picture;
    std::string error = "not found beside the model";
    if (embedded != nullptr ? DecodeEmbedded(*embedded, picture.image, error)
                            : !file.empty() && DecodeFile(file, picture.image, error)) {
        picture.source = embedded != nullptr ? "embedded picture " + std::string(reference.C_Str())
                                             : fs::path(file).filename().string();
        out.picture = static_cast<int32_t>(model.pictures.size());
        model.pictures.push_back(std::move(picture));
        known[key] = out.picture;
        return out;
    }
    model.warnings.push_back("texture '" + std::string(reference.C_Str()) + "' of material '" +
                             out.name + "': " + error + "; its diffuse colour is used instead");
    return out;
}
