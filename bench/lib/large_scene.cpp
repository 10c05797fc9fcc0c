#include "bench/lib/large_scene.h"

#include <sys/stat.h>  // stat, mkdir

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "scene/geometry.h"  // the records the yardstick reads into

namespace {

// xorshift32: the same sequence on every platform and library version.
struct Random {
    uint32_t state;
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // A value in [-range, range) with six decimals. The offset is taken in signed arithmetic: in
    // uint32_t it wrapped below zero, and half the vertices jumped thousands of cells away.
    double Jitter(double range) {
        return (static_cast<int64_t>(Next() % 2000000) - 1000000) * range / 1000000.0;
    }
};

// Calls emitVertex(x, y, z, u, v) for each vertex and emitFace(a, b, c, texture) for each face.
template <typename VertexSink, typename FaceSink>
void GenerateMesh(const LargeMesh& mesh, VertexSink emitVertex, FaceSink emitFace) {
    Random random{mesh.seed | 1};
    const int64_t side = GridSide(mesh);
    for (int64_t i = 0; i < mesh.vertexCount; ++i) {
        const int64_t row = i / side, column = i % side;
        double x = column * kGridSpacing - 5.0 + random.Jitter(0.002);
        double z = row * -kGridSpacing + random.Jitter(0.002);
        double y = std::sin(column * 0.01) + random.Jitter(0.01);
        if (mesh.shardSize > 0.0) {
            x += random.Jitter(mesh.shardSize);
            y += random.Jitter(mesh.shardSize);
            z += random.Jitter(mesh.shardSize);
        }
        emitVertex(x, y, z, column / static_cast<double>(side), row / static_cast<double>(side));
    }
    int64_t emitted = 0;
    for (int64_t row = 0; row + 1 < side && emitted < mesh.faceCount; ++row) {
        for (int64_t column = 0; column + 1 < side && emitted < mesh.faceCount; ++column) {
            const int64_t a = row * side + column, b = a + 1, c = a + side, d = c + 1;
            if (d >= mesh.vertexCount) continue;
            const int32_t texture = static_cast<int32_t>(emitted % mesh.textureCount);
            emitFace(a, b, c, texture);
            if (++emitted < mesh.faceCount) emitFace(b, d, c, texture), ++emitted;
        }
    }
}

// Buffered writer: the generator is run rarely, but 100 MB through fprintf is slow.
struct Writer {
    FILE* file;
    std::string buffer;
    explicit Writer(const std::string& path) : file(std::fopen(path.c_str(), "wb")) {}
    ~Writer() { Flush(), file != nullptr&& std::fclose(file); }
    void Flush() {
        if (file != nullptr) std::fwrite(buffer.data(), 1, buffer.size(), file);
        buffer.clear();
    }
    void Append(const char* text, int length) {
        buffer.append(text, static_cast<size_t>(length));
        if (buffer.size() > (1u << 20)) Flush();
    }
};

void MakeDirectories(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0755);
    }
    mkdir(path.c_str(), 0755);
}

void WriteSolidTga(const std::string& path, int index) {
    const int size = 8;
    std::vector<unsigned char> bytes = {0, 0, 2, 0,    0, 0,    0, 0,  0,
                                        0, 0, 0, size, 0, size, 0, 24, 0};
    for (int i = 0; i < size * size; ++i) {
        bytes.push_back(static_cast<unsigned char>(index * 37));
        bytes.push_back(static_cast<unsigned char>(128 + index * 11));
        bytes.push_back(static_cast<unsigned char>(255 - index * 5));
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

}  // namespace

int64_t GridSide(const LargeMesh& mesh) {
    return static_cast<int64_t>(std::ceil(std::sqrt(static_cast<double>(mesh.vertexCount))));
}

LargeMesh MeshWithFaces(int64_t faces, int32_t textures) {
    LargeMesh mesh;
    mesh.faceCount = faces;
    const int64_t side = static_cast<int64_t>(std::ceil(std::sqrt(faces / 2.0))) + 1;
    mesh.vertexCount = side * side;
    mesh.textureCount = textures;
    return mesh;
}

bool WriteObjectFile(const std::string& path, const LargeMesh& mesh) {
    Writer out(path);
    if (out.file == nullptr) return false;
    char line[160];
    out.Append(line, std::snprintf(line, sizeof line, "%lld %lld\n0 0 0\n%d\n",
                                   static_cast<long long>(mesh.vertexCount),
                                   static_cast<long long>(mesh.faceCount), mesh.hidden));
    GenerateMesh(
        mesh,
        [&](double x, double y, double z, double u, double v) {
            out.Append(line, std::snprintf(line, sizeof line, "%.6f %.6f %.6f %.6f %.6f\n", x, y, z,
                                           u, v));
        },
        [&](int64_t a, int64_t b, int64_t c, int32_t texture) {
            out.Append(line, std::snprintf(line, sizeof line, "%lld %lld %lld %d\n",
                                           static_cast<long long>(a), static_cast<long long>(b),
                                           static_cast<long long>(c), texture));
        });
    return true;
}

TriangleMesh GridTriangles(const LargeMesh& mesh) {
    TriangleMesh triangles;
    triangles.positions.reserve(static_cast<size_t>(mesh.vertexCount) * 3);
    triangles.corners.reserve(static_cast<size_t>(mesh.faceCount) * 3);
    GenerateMesh(
        mesh,
        [&](double x, double y, double z, double, double) {
            triangles.positions.insert(
                triangles.positions.end(),
                {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});
        },
        [&](int64_t a, int64_t b, int64_t c, int32_t) {
            triangles.corners.insert(
                triangles.corners.end(),
                {static_cast<int32_t>(a), static_cast<int32_t>(b), static_cast<int32_t>(c)});
        });
    return triangles;
}

bool WriteWavefrontFile(const std::string& path, const LargeMesh& mesh) {
    Writer out(path);
    if (out.file == nullptr) return false;
    char line[160];
    GenerateMesh(
        mesh,
        [&](double x, double y, double z, double u, double v) {
            out.Append(line, std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\nvt %.6f %.6f\n", x,
                                           y, z, u, v));
        },
        [&](int64_t a, int64_t b, int64_t c, int32_t) {
            const long long A = a + 1, B = b + 1, C = c + 1;
            out.Append(line, std::snprintf(line, sizeof line, "f %lld/%lld %lld/%lld %lld/%lld\n",
                                           A, A, B, B, C, C));
        });
    return true;
}

std::string WriteLargeScene(const std::string& root, const LargeMesh& mesh) {
    // "grid-": the names before the generator's fix held a broken grid; those files are not reused.
    const std::string name =
        "grid-" + std::to_string(mesh.faceCount) + "-" + std::to_string(mesh.textureCount) +
        (mesh.hidden != 0 ? "-hidden" : "") + (mesh.shardSize > 0.0 ? "-shards" : "");
    MakeDirectories(root + "/data/" + name);
    const std::string object = "data/" + name + "/mesh.obj";
    if (FileSize(root + "/" + object) < 0) WriteObjectFile(root + "/" + object, mesh);
    std::string scene = "1 " + std::to_string(mesh.textureCount) + "\n" + object + " 0 0 0 1\n";
    for (int t = 0; t < mesh.textureCount; ++t) {
        const std::string texture = "data/" + name + "/t" + std::to_string(t) + ".tga";
        WriteSolidTga(root + "/" + texture, t);
        scene += texture + "\n";
    }
    const std::string camera = "data/" + name + "/view.cam";
    FILE* file = std::fopen((root + "/" + camera).c_str(), "wb");
    if (file != nullptr) {
        std::fputs("0 4 6 -20 0 0\n", file);
        std::fclose(file);
    }
    scene += camera + "\n";
    const std::string scenePath = "data/" + name + ".scn";
    file = std::fopen((root + "/" + scenePath).c_str(), "wb");
    if (file != nullptr) {
        std::fputs(scene.c_str(), file);
        std::fclose(file);
    }
    return scenePath;
}

bool LoadWithIostream(const std::string& path) {
    std::ifstream in(path);
    in.unsetf(std::ios::basefield);
    int vertexCount = 0, faceCount = 0, hidden = 0;
    float header[3];
    in >> vertexCount >> faceCount >> header[0] >> header[1] >> header[2] >> hidden;
    std::vector<Vertex> vertices(vertexCount);
    std::vector<Face> faces(faceCount);
    for (Vertex& v : vertices) in >> v.x >> v.y >> v.z >> v.u >> v.v;
    for (Face& f : faces) in >> f.a >> f.b >> f.c >> f.texture;
    return !in.fail();
}

int64_t FileSize(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
}
