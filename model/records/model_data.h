// A model as read from its file: plain arrays and decoded pictures, nothing of assimp. The reader
// fills it and the rest of the importer builds the scene from it; it is all that passes from the
// one to the other, and the reader is not trusted: CheckModelData is passed before anything else
// uses it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/image/image.h"

// One mesh of triangles in the file's own axes and units, every node transform applied.
struct SourceMesh {
    uint32_t material = 0;            // index into ModelData::materials
    std::vector<float> positions;     // x, y, z per vertex; finite
    std::vector<float> normals;       // x, y, z per vertex as the file gives them, or empty
    std::vector<float> uvs;           // u, v per vertex, or empty
    std::vector<uint8_t> colours;     // r, g, b, a per vertex, or empty
    std::vector<uint32_t> triangles;  // three vertex indices per face, counter-clockwise
};

struct SourceMaterial {
    std::string name;
    float colour[3] = {0.8f, 0.8f, 0.8f};  // diffuse, 0 to 1; assimp's own default grey
    int32_t picture = -1;                  // index into ModelData::pictures, or -1: none
};

// The longest side a texture gets: larger pictures are scaled down, since a model framed in a
// 640 x 480 window never shows more texels than that and every texture is held in memory.
constexpr int kMaxTextureSide = 1024;

// A picture a material shows, already a texture the viewer takes (power-of-two sides of at most
// kMaxTextureSide, bottom row first).
struct SourcePicture {
    Image image;
    std::string source;  // a file name or "embedded picture NAME", for the report
};

// The six directions a model's up may point along, as the file's own axes name them.
enum class Axis : uint8_t { PlusX, MinusX, PlusY, MinusY, PlusZ, MinusZ };

// Which way is up in the file's axes, and what says so ("declared in the FBX file", "STL files
// are Z-up by convention", ...).
struct UpDeclaration {
    Axis axis = Axis::PlusY;
    std::string why = "no declaration in the file: taken as Y-up";
};

struct ModelData {
    std::vector<SourceMesh> meshes;
    std::vector<SourceMaterial> materials;
    std::vector<SourcePicture> pictures;
    UpDeclaration up;
    std::vector<std::string> warnings;  // what the user should know, one sentence each
};

// True when every array has the length its counts give, every index lies inside the array it
// indexes, every number is finite and every picture is a texture the viewer takes; otherwise
// false, with `error` saying what is wrong.
bool CheckModelData(const ModelData& model, std::string& error);

// "+Z", "-Y", ...
const char* AxisName(Axis axis);
// The axis "+Z", "-y", "X" (plus) name; false for anything else.
bool ParseAxis(const std::string& text, Axis& axis);
