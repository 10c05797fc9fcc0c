#include "tools/import/read_model.h"

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cmath>  // isfinite
#include <filesystem>
#include <vector>

#include "tools/import/material_texture.h"

namespace {

// Pre-transforming flattens the node tree into meshes in world units (a mesh used by several
// nodes is copied for each); splitting keeps each mesh to one sensible file.
constexpr unsigned kSteps = aiProcess_Triangulate | aiProcess_PreTransformVertices |
                            aiProcess_JoinIdenticalVertices | aiProcess_GenUVCoords |
                            aiProcess_TransformUVCoords | aiProcess_SplitLargeMeshes |
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

// The triangles of one mesh, as one Mesh of the model when there are any. Corners that are not
// finite are kept (faces index them) but moved to a harmless 0, and their faces left out.
void AddTriangles(const aiMesh& from, int32_t texture, Model& model, LeftOut& leftOut) {
    Mesh mesh;
    mesh.vertices.resize(from.mNumVertices);
    for (unsigned i = 0; i < from.mNumVertices; ++i) {
        const aiVector3D& p = from.mVertices[i];
        Vertex& v = mesh.vertices[i];
        if (IsFinite(p)) {
            v.x = p.x;
            v.y = p.y;
            v.z = p.z;
        }
        if (from.HasTextureCoords(0) && IsFinite(from.mTextureCoords[0][i])) {
            v.u = from.mTextureCoords[0][i].x;
            v.v = from.mTextureCoords[0][i].y;
        }
    }
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
        Face out;
        out.a = static_cast<int32_t>(corner[0]);
        out.b = static_cast<int32_t>(corner[1]);
        out.c = static_cast<int32_t>(corner[2]);
        out.texture = texture;
        mesh.faces.push_back(out);
    }
    if (!mesh.faces.empty()) model.meshes.push_back(std::move(mesh));
}

}  // namespace

bool ReadModel(const std::string& path, Model& model, std::string& error) {
    // A pipe or a device would have assimp wait or read for ever; a missing file is left to
    // assimp, whose message says so.
    std::error_code failure;
    const std::filesystem::file_status status = std::filesystem::status(path, failure);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        error = "not a regular file";
        return false;
    }
    Assimp::Importer importer;
    importer.SetPropertyInteger(AI_CONFIG_PP_SLM_VERTEX_LIMIT, kMaxMeshVertices);
    importer.SetPropertyInteger(AI_CONFIG_PP_SLM_TRIANGLE_LIMIT, kMaxMeshFaces);
    const aiScene* scene = importer.ReadFile(path, kSteps);
    if (scene == nullptr) {
        error = importer.GetErrorString();
        return false;
    }
    const std::string directory = std::filesystem::path(path).parent_path().string();
    std::vector<int32_t> textureOf(scene->mNumMaterials, -1);  // made when first used
    KnownTextures known;
    LeftOut leftOut;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh& mesh = *scene->mMeshes[m];
        int32_t& texture = textureOf[mesh.mMaterialIndex];
        if (texture < 0 && (mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE)) {
            texture = MaterialTexture(*scene, mesh.mMaterialIndex, directory, known, model);
        }
        AddTriangles(mesh, texture, model, leftOut);
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
        error = scene->mNumMeshes == 0 ? "the file holds no meshes" : "no triangle is left to show";
        return false;
    }
    return true;
}
