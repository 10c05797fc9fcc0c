#include "model/build/build_model.h"

#include <algorithm>  // max, min
#include <cstring>    // memcmp
#include <map>

#include "model/light/colour_atlas.h"
#include "model/shape/corner_normals.h"
#include "model/shape/join_vertices.h"
#include "model/light/picture_light.h"
#include "model/shape/same_position.h"
#include "model/light/shading.h"
#include "model/shape/split_mesh.h"

namespace {

// The model's textures, each made once however many meshes use it.
class Textures {
  public:
    explicit Textures(Model& model) : model_(model) {}

    int32_t Add(ModelTexture texture) {
        model_.textures.push_back(std::move(texture));
        return static_cast<int32_t>(model_.textures.size() - 1);
    }
    // A picture, lit where `lit` holds it lit.
    int32_t Picture(const ModelData& data, int32_t picture, LitPicture& lit) {
        return Once("picture " + std::to_string(picture), [&] {
            const SourcePicture& source = data.pictures[picture];
            if (lit.copies == 0) return ModelTexture{source.image, source.source};
            return ModelTexture{
                std::move(lit.image),
                source.source + ", lit" +
                    (lit.copies > 1 ? " in " + std::to_string(lit.copies) + " copies" : "")};
        });
    }
    // A material's colour, lit (a shading texture) or flat (1 x 1).
    int32_t Colour(const SourceMaterial& material, bool lit) {
        std::string key = lit ? "lit" : "flat";
        for (float channel : material.colour) key += " " + std::to_string(channel);
        return Once(key, [&] {
            const float* c = material.colour;
            return ModelTexture{
                lit ? ShadingTexture(c) : ColourTexture(c[0], c[1], c[2]),
                (lit ? "lit colour of material '" : "colour of material '") + material.name + "'"};
        });
    }

  private:
    template <typename Make>
    int32_t Once(const std::string& key, Make make) {
        const auto found = made_.find(key);
        if (found != made_.end()) return found->second;
        return made_[key] = Add(make());
    }

    Model& model_;
    std::map<std::string, int32_t> made_;
};

Vertex At(const SourceMesh& mesh, size_t vertex) {
    Vertex v;
    v.x = mesh.positions[vertex * 3];
    v.y = mesh.positions[vertex * 3 + 1];
    v.z = mesh.positions[vertex * 3 + 2];
    return v;
}

// The model's pictures lit where their layouts allow (see picture_light.h), and for each mesh
// that shows one, the copy of it each face lies in.
struct LitPictures {
    std::vector<LitPicture> pictures;              // copies 0: left unlit
    std::vector<std::vector<uint8_t>> copyOfFace;  // by mesh; empty when not lit
};

LitPictures LightPictures(const ModelData& data) {
    LitPictures lit;
    lit.pictures.resize(data.pictures.size());
    lit.copyOfFace.resize(data.meshes.size());
    std::vector<std::vector<PictureFace>> faces(data.pictures.size());
    std::vector<uint32_t> vertices(data.pictures.size(), 0);  // numbered so far, by picture
    std::vector<size_t> firstFace(data.meshes.size(), 0);     // in its picture's faces
    for (size_t m = 0; m < data.meshes.size(); ++m) {
        const SourceMesh& mesh = data.meshes[m];
        const int32_t picture = data.materials[mesh.material].picture;
        if (picture < 0 || mesh.uvs.empty()) continue;
        const std::vector<Normal> normals = CornerNormals(
            mesh.positions, SamePositions(mesh.positions), mesh.triangles, mesh.normals);
        firstFace[m] = faces[picture].size();
        for (size_t f = 0; f < mesh.triangles.size() / 3; ++f) {
            PictureFace face;
            for (int k = 0; k < 3; ++k) {
                const uint32_t vertex = mesh.triangles[f * 3 + k];
                face.vertex[k] = vertices[picture] + vertex;
                face.u[k] = mesh.uvs[size_t{vertex} * 2];
                face.v[k] = mesh.uvs[size_t{vertex} * 2 + 1];
                face.normal[k] = normals[f * 3 + k];
            }
            faces[picture].push_back(face);
        }
        vertices[picture] += static_cast<uint32_t>(mesh.positions.size() / 3);
    }
    for (size_t p = 0; p < data.pictures.size(); ++p) {
        if (!faces[p].empty()) {
            LightPicture(data.pictures[p].image, faces[p], kMaxTextureSide, lit.pictures[p]);
        }
    }
    for (size_t m = 0; m < data.meshes.size(); ++m) {
        const SourceMesh& mesh = data.meshes[m];
        const int32_t picture = data.materials[mesh.material].picture;
        if (picture < 0 || mesh.uvs.empty() || lit.pictures[picture].copies == 0) continue;
        const std::vector<uint8_t>& copyOf = lit.pictures[picture].copyOf;
        lit.copyOfFace[m].assign(copyOf.begin() + firstFace[m],
                                 copyOf.begin() + firstFace[m] + mesh.triangles.size() / 3);
    }
    return lit;
}

void AddPieces(Mesh mesh, Model& model) {
    for (Mesh& piece : SplitMesh(std::move(mesh))) model.meshes.push_back(std::move(piece));
}

// The file's own vertices and texture coordinates: for a picture, or for one flat colour. With
// `copyOf`, the picture is lit in `copies` copies and each face lies in copyOf[face]: a vertex
// whose faces lie in several copies is made once for each.
void AddAsGiven(const SourceMesh& from, int32_t texture, Model& model,
                const std::vector<uint8_t>& copyOf = {}, int copies = 1) {
    Mesh mesh;
    const size_t n = from.positions.size() / 3;
    // The vertex made for each file vertex and copy; -1 until made.
    std::vector<int32_t> made(n * static_cast<size_t>(copies), -1);
    mesh.faces.resize(from.triangles.size() / 3);
    for (size_t c = 0; c < from.triangles.size(); ++c) {
        const uint32_t vertex = from.triangles[c];
        const int copy = copyOf.empty() ? 0 : copyOf[c / 3];
        int32_t& index = made[size_t{vertex} * copies + copy];
        if (index < 0) {
            index = static_cast<int32_t>(mesh.vertices.size());
            Vertex v = At(from, vertex);
            if (!from.uvs.empty()) {
                v.u = from.uvs[size_t{vertex} * 2];
                v.v = StackedV(from.uvs[size_t{vertex} * 2 + 1], copy, copies);
            }
            mesh.vertices.push_back(v);
        }
        Face& face = mesh.faces[c / 3];
        (c % 3 == 0 ? face.a : c % 3 == 1 ? face.b : face.c) = index;
        face.texture = texture;
    }
    AddPieces(std::move(mesh), model);
}

// One colour, lit: a vertex for each position and normal that meet at a corner, its texture
// coordinates looking its brightness up in the material's shading texture.
void AddShaded(const SourceMesh& from, int32_t texture, Model& model) {
    const std::vector<uint32_t> position = SamePositions(from.positions);
    const std::vector<Normal> normals =
        CornerNormals(from.positions, position, from.triangles, from.normals);
    Mesh mesh;
    // The vertices made for each position, chained: first[p], then next[] of each.
    std::vector<int32_t> first(position.size(), -1), next;
    std::vector<Normal> normalOf;
    std::vector<int32_t> corner(from.triangles.size());
    for (size_t c = 0; c < from.triangles.size(); ++c) {
        const uint32_t p = position[from.triangles[c]];
        const Normal& n = normals[c];
        int32_t v = first[p];
        while (v >= 0 && std::memcmp(&normalOf[v], &n, sizeof n) != 0) v = next[v];
        if (v < 0) {
            v = static_cast<int32_t>(mesh.vertices.size());
            Vertex made = At(from, p);
            ShadingCoordinates(n, made.u, made.v);
            mesh.vertices.push_back(made);
            normalOf.push_back(n);
            next.push_back(first[p]);
            first[p] = v;
        }
        corner[c] = v;
    }
    mesh.faces.resize(from.triangles.size() / 3);
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
        mesh.faces[f].a = corner[f * 3];
        mesh.faces[f].b = corner[f * 3 + 1];
        mesh.faces[f].c = corner[f * 3 + 2];
        mesh.faces[f].texture = texture;
    }
    AddPieces(std::move(mesh), model);
}

// Vertex colours, lit when `lit`: three vertices of its own for every face, in pieces small
// enough for one atlas and one object file each.
void AddColoured(const SourceMesh& from, bool lit, Textures& textures, Model& model) {
    std::vector<Normal> normals;
    if (lit) {
        normals = CornerNormals(from.positions, SamePositions(from.positions), from.triangles,
                                from.normals);
    }
    const size_t faces = from.triangles.size() / 3;
    const size_t perPiece = std::min(kAtlasFaces, kMaxMeshVertices / 3);
    for (size_t start = 0; start < faces; start += perPiece) {
        const size_t count = std::min(perPiece, faces - start);
        std::vector<Rgb> colours(count * 3);
        for (size_t c = 0; c < count * 3; ++c) {
            const size_t corner = start * 3 + c;
            const uint8_t* rgba = &from.colours[size_t{from.triangles[corner]} * 4];
            const double shade = lit ? Brightness(normals[corner]) : 1.0;
            colours[c] = Rgb{rgba[0] * shade, rgba[1] * shade, rgba[2] * shade};
        }
        std::vector<AtlasCorner> places;
        ModelTexture atlas{ColourAtlas(colours, places), ""};
        atlas.source = std::string(lit ? "lit " : "") + "vertex colours of faces " +
                       std::to_string(start) + " to " + std::to_string(start + count - 1);
        const int32_t texture = textures.Add(std::move(atlas));
        Mesh mesh;
        mesh.vertices.resize(count * 3);
        mesh.faces.resize(count);
        for (size_t c = 0; c < count * 3; ++c) {
            Vertex& v = mesh.vertices[c];
            v = At(from, from.triangles[start * 3 + c]);
            v.u = places[c].u;
            v.v = places[c].v;
        }
        for (size_t f = 0; f < count; ++f) {
            mesh.faces[f].a = static_cast<int32_t>(f * 3);
            mesh.faces[f].b = static_cast<int32_t>(f * 3 + 1);
            mesh.faces[f].c = static_cast<int32_t>(f * 3 + 2);
            mesh.faces[f].texture = texture;
        }
        model.meshes.push_back(std::move(mesh));
    }
}

}  // namespace

void BuildModel(ModelData& data, const BuildOptions& options, Model& model) {
    for (SourceMesh& mesh : data.meshes) JoinVertices(mesh);
    Textures textures(model);
    LitPictures lit;
    for (SourcePicture& picture : data.pictures) {
        while (picture.image.width > options.largestTexture ||
               picture.image.height > options.largestTexture) {
            picture.image = HalfSize(picture.image);
        }
    }
    if (options.shading) lit = LightPictures(data);
    lit.pictures.resize(data.pictures.size());
    lit.copyOfFace.resize(data.meshes.size());
    for (size_t m = 0; m < data.meshes.size(); ++m) {
        const SourceMesh& mesh = data.meshes[m];
        const SourceMaterial& material = data.materials[mesh.material];
        if (material.picture >= 0) {
            LitPicture& picture = lit.pictures[material.picture];
            const int copies = std::max(1, picture.copies);  // read before Picture takes the image
            AddAsGiven(mesh, textures.Picture(data, material.picture, picture), model,
                       lit.copyOfFace[m], copies);
        } else if (!mesh.colours.empty()) {
            AddColoured(mesh, options.shading, textures, model);
        } else if (options.shading) {
            AddShaded(mesh, textures.Colour(material, true), model);
        } else {
            AddAsGiven(mesh, textures.Colour(material, false), model);
        }
    }
}
