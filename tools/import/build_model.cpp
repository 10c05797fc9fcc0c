#include "tools/import/build_model.h"

#include "tools/import/split_mesh.h"
#include "tools/import/texture_image.h"

void BuildModel(const ModelData& data, const BuildOptions& options, Model& model) {
    (void)options;
    std::vector<int32_t> textureOf(data.materials.size());
    for (size_t m = 0; m < data.materials.size(); ++m) {
        const SourceMaterial& material = data.materials[m];
        ModelTexture texture;
        if (material.picture >= 0) {
            texture.image = data.pictures[material.picture].image;
            texture.source = data.pictures[material.picture].source;
        } else {
            texture.image =
                ColourTexture(material.colour[0], material.colour[1], material.colour[2]);
            texture.source = "colour of material '" + material.name + "'";
        }
        textureOf[m] = static_cast<int32_t>(model.textures.size());
        model.textures.push_back(std::move(texture));
    }
    for (const SourceMesh& from : data.meshes) {
        Mesh mesh;
        const size_t n = from.positions.size() / 3;
        mesh.vertices.resize(n);
        for (size_t i = 0; i < n; ++i) {
            Vertex& v = mesh.vertices[i];
            v.x = from.positions[i * 3];
            v.y = from.positions[i * 3 + 1];
            v.z = from.positions[i * 3 + 2];
            if (!from.uvs.empty()) {
                v.u = from.uvs[i * 2];
                v.v = from.uvs[i * 2 + 1];
            }
        }
        for (size_t t = 0; t + 2 < from.triangles.size(); t += 3) {
            Face face;
            face.a = static_cast<int32_t>(from.triangles[t]);
            face.b = static_cast<int32_t>(from.triangles[t + 1]);
            face.c = static_cast<int32_t>(from.triangles[t + 2]);
            face.texture = textureOf[from.material];
            mesh.faces.push_back(face);
        }
        for (Mesh& piece : SplitMesh(std::move(mesh))) model.meshes.push_back(std::move(piece));
    }
}
