#include "model/read/read_model.h"

#include <assimp/Importer.hpp>
#include <assimp/commonMetaData.h>  // AI_METADATA_SOURCE_FORMAT
#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cmath>  // isfinite, lround
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "model/read/material_texture.h"

namespace {

// Pre-transforming flattens the node tree into meshes in world units (a mesh used by several
// nodes is copied for each). Identical vertices are joined by the scene builder, in a fraction of
// the time assimp's own step takes on a large mesh.
constexpr unsigned kSteps = aiProcess_Triangulate | aiProcess_PreTransformVertices |
                            aiProcess_GenUVCoords | aiProcess_TransformUVCoords |
                            aiProcess_ValidateDataStructure;

// What the viewer cannot show, counted for the warnings.
struct LeftOut {
    long points = 0;
    long lines = 0;
    long notFinite = 0;  // triangles with a corner at infinity or NaN
};

bool IsFinite(const aiVector3D& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

uint8_t ColourByte(float channel) {
    if (!(channel > 0.0f)) return 0;
    return channel >= 1.0f ? 255 : static_cast<uint8_t>(std::lround(channel * 255.0f));
}

// The triangles of one mesh, as one SourceMesh of the model when there are any. Normals only
// when `keepNormals`. Corners that are
// not finite are kept (faces index them) but moved to a harmless 0, and their faces left out.
void AddTriangles(const aiMesh& from, uint32_t material, bool keepNormals, ModelData& model,
                  LeftOut& leftOut) {
    SourceMesh mesh;
    mesh.material = material;
    const unsigned n = from.mNumVertices;
    mesh.positions.assign(size_t{n} * 3, 0.0f);
    for (unsigned i = 0; i < n; ++i) {
        const aiVector3D& p = from.mVertices[i];
        if (!IsFinite(p)) continue;
        mesh.positions[i * 3] = p.x;
        mesh.positions[i * 3 + 1] = p.y;
        mesh.positions[i * 3 + 2] = p.z;
    }
    if (keepNormals && from.HasNormals()) {
        mesh.normals.assign(size_t{n} * 3, 0.0f);
        for (unsigned i = 0; i < n; ++i) {
            const aiVector3D& normal = from.mNormals[i];
            if (!IsFinite(normal)) continue;  // a zero normal: the builder makes its own there
            mesh.normals[i * 3] = normal.x;
            mesh.normals[i * 3 + 1] = normal.y;
            mesh.normals[i * 3 + 2] = normal.z;
        }
    }
    if (from.HasTextureCoords(0)) {
        mesh.uvs.assign(size_t{n} * 2, 0.0f);
        for (unsigned i = 0; i < n; ++i) {
            const aiVector3D& uv = from.mTextureCoords[0][i];
            if (!IsFinite(uv)) continue;
            mesh.uvs[i * 2] = uv.x;
            mesh.uvs[i * 2 + 1] = uv.y;
        }
    }
    if (from.HasVertexColors(0)) {
        mesh.colours.resize(size_t{n} * 4);
        for (unsigned i = 0; i < n; ++i) {
            const aiColor4D& c = from.mColors[0][i];
            const float channels[4] = {c.r, c.g, c.b, c.a};
            for (int k = 0; k < 4; ++k) mesh.colours[i * 4 + k] = ColourByte(channels[k]);
        }
    }
    mesh.triangles.reserve(size_t{from.mNumFaces} * 3);
    for (unsigned f = 0; f < from.mNumFaces; ++f) {
        const aiFace& face = from.mFaces[f];
        if (face.mNumIndices != 3) {  // triangulation leaves only points and lines
            ++(face.mNumIndices == 1 ? leftOut.points : leftOut.lines);
            continue;
        }
        const unsigned* corner = face.mIndices;
        if (!IsFinite(from.mVertices[corner[0]]) || !IsFinite(from.mVertices[corner[1]]) ||
            !IsFinite(from.mVertices[corner[2]])) {
            ++leftOut.notFinite;
            continue;
        }
        mesh.triangles.insert(mesh.triangles.end(), corner, corner + 3);
    }
    if (!mesh.triangles.empty()) model.meshes.push_back(std::move(mesh));
}

bool Metadata(const aiScene& scene, const char* key, int32_t& value) {
    return scene.mMetaData != nullptr && scene.mMetaData->Get(key, value);
}

std::string SourceFormat(const aiScene& scene) {
    aiString format;
    if (scene.mMetaData == nullptr || !scene.mMetaData->Get(AI_METADATA_SOURCE_FORMAT, format)) {
        return "";
    }
    return format.C_Str();
}

// A Collada file names its up axis near its start, in <asset>; assimp is told to leave it alone
// so that every format is turned upright in one place. `head` is the file's first bytes.
bool ColladaUp(const std::string& head, Axis& axis) {
    const size_t at = head.find("<up_axis>");
    if (at == std::string::npos) return false;
    const std::string named = head.substr(at + 9, 4);
    if (named == "X_UP")
        axis = Axis::PlusX;
    else if (named == "Y_UP")
        axis = Axis::PlusY;
    else if (named == "Z_UP")
        axis = Axis::PlusZ;
    else
        return false;
    return true;
}

// Formats that say nothing of their axes but are Z-up by the habit of the tools that write them
// (CAD, 3D printing, scanning), by assimp's name for their reader.
struct ZUpFormat {
    const char* importer;
    const char* name;
};
const ZUpFormat kZUpFormats[] = {{"(STL)", "STL"},
                                 {"(PLY)", "PLY"},
                                 {"OFF Importer", "OFF"},
                                 {"3mf Importer", "3MF"},
                                 {"(AMF)", "AMF"}};

// Which way the file says is up, or what its format's convention is.
UpDeclaration DeclaredUp(const aiScene& scene, const std::string& head) {
    const std::string format = SourceFormat(scene);
    UpDeclaration up;
    int32_t axis = 1, sign = 1;
    if (format.find("FBX") != std::string::npos && Metadata(scene, "UpAxis", axis) && axis >= 0 &&
        axis <= 2) {
        Metadata(scene, "UpAxisSign", sign);
        up.axis = static_cast<Axis>(axis * 2 + (sign < 0 ? 1 : 0));
        up.why = "declared in the FBX file";
    } else if (format.find("Collada") != std::string::npos && ColladaUp(head, up.axis)) {
        up.why = "declared in the Collada file";
    } else if (format.find("glTF") != std::string::npos) {
        up.why = "glTF files are Y-up by definition";
    } else {
        for (const ZUpFormat& zUp : kZUpFormats) {
            if (format.find(zUp.importer) == std::string::npos) continue;
            up.axis = Axis::PlusZ;
            up.why = std::string(zUp.name) + " files are Z-up by convention";
        }
    }
    return up;
}

// The largest part of a file ColladaUp looks at.
constexpr size_t kHeadBytes = 64 * 1024;

std::string ReadHead(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string head(kHeadBytes, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(file.gcount()));
    return head;
}

// The scene assimp read, as plain arrays: what both entry points share. `scene` is null when
// assimp refused the file; `head` is the file's first bytes.
bool ConvertScene(const Assimp::Importer& importer, const aiScene* read,
                  const std::string& directory, const std::string& head, ModelData& model,
                  std::string& error) {
    if (read == nullptr) {
        error = importer.GetErrorString();
        return false;
    }
    const aiScene& scene = *read;
    model.up = DeclaredUp(scene, head);
    // An STL file's normals are its facets' own: the builder makes smooth ones instead.
    const bool keepNormals = SourceFormat(scene).find("(STL)") == std::string::npos;
    std::vector<int32_t> materialOf(scene.mNumMaterials, -1);  // made when first used
    KnownPictures known;
    LeftOut leftOut;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh& mesh = *scene.mMeshes[m];
        if (!(mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE)) {
            AddTriangles(mesh, 0, false, model, leftOut);  // counts what is left out, adds nothing
            continue;
        }
        int32_t& material = materialOf[mesh.mMaterialIndex];
        if (material < 0) {
            material = static_cast<int32_t>(model.materials.size());
            model.materials.push_back(
                ReadMaterial(scene, mesh.mMaterialIndex, directory, known, model));
        }
        AddTriangles(mesh, static_cast<uint32_t>(material), keepNormals, model, leftOut);
    }
    if (leftOut.points + leftOut.lines > 0) {
        model.warnings.push_back(std::to_string(leftOut.points) + " points and " +
                                 std::to_string(leftOut.lines) +
                                 " lines left out: the viewer draws triangles only");
    }
    if (leftOut.notFinite > 0) {
        model.warnings.push_back(std::to_string(leftOut.notFinite) +
                                 " faces left out: a corner lies at infinity or is not a number");
    }
    if (model.meshes.empty()) {
        error = scene.mNumMeshes == 0 ? "the file holds no meshes" : "no triangle is left to show";
        return false;
    }
    return true;
}

}  // namespace

bool ReadModel(const std::string& path, ModelData& model, std::string& error) {
    // A pipe or a device would have assimp wait or read for ever; a missing file is left to
    // assimp, whose message says so.
    std::error_code failure;
    const std::filesystem::file_status status = std::filesystem::status(path, failure);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        error = "not a regular file";
        return false;
    }
    Assimp::Importer importer;
    importer.SetPropertyBool(AI_CONFIG_IMPORT_COLLADA_IGNORE_UP_DIRECTION, true);
    return ConvertScene(importer, importer.ReadFile(path, kSteps),
                        std::filesystem::path(path).parent_path().string(), ReadHead(path), model,
                        error);
}

bool ReadModelFromMemory(const uint8_t* bytes, size_t size, const std::string& directory,
                         ModelData& model, std::string& error) {
    Assimp::Importer importer;
    importer.SetPropertyBool(AI_CONFIG_IMPORT_COLLADA_IGNORE_UP_DIRECTION, true);
    const std::string head(reinterpret_cast<const char*>(bytes),
                           size < kHeadBytes ? size : kHeadBytes);
    return ConvertScene(importer, importer.ReadFileFromMemory(bytes, size, kSteps), directory, head,
                        model, error);
}
