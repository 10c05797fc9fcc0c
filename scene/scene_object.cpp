#include "scene/scene_object.h"

#include <string>

#include "platform/platform.h"
#include "scene/large_array.h"
#include "scene/messages.h"
#include "scene/mapped_file.h"
#include "scene/token_reader.h"

namespace {

bool Refuse(const TokenReader& reader, LoadProblem* problem, std::string message) {
    if (problem != nullptr) {
        problem->offset = static_cast<size_t>(reader.tokenStart - reader.begin);
        problem->message = std::move(message);
    }
    return false;
}

bool RefuseToken(const TokenReader& reader, LoadProblem* problem, const char* what) {
    return Refuse(reader, problem, std::string(what) + ": " + DescribeTokenFault(reader));
}

// Each token takes at least one character and one separator before it.
bool FileCanHold(const TokenReader& reader, int64_t vertexCount, int64_t faceCount) {
    const uint64_t tokens =
        4 + 5 * static_cast<uint64_t>(vertexCount) + 4 * static_cast<uint64_t>(faceCount);
    return tokens * 2 <= RemainingBytes(reader) + 1;
}

bool ReadVertices(TokenReader& reader, Vertex* vertices, int32_t count, LoadProblem* problem) {
    for (int32_t i = 0; i < count; ++i) {
        Vertex& v = vertices[i];
        if (!ReadFloat(reader, v.x) || !ReadFloat(reader, v.y) || !ReadFloat(reader, v.z) ||
            !ReadFloat(reader, v.u) || !ReadFloat(reader, v.v)) {
            return RefuseToken(reader, problem, ("vertex " + std::to_string(i)).c_str());
        }
    }
    return true;
}

bool ReadFaces(TokenReader& reader, Face* faces, int32_t count, int32_t vertexCount, int32_t hidden,
               LoadProblem* problem) {
    for (int32_t i = 0; i < count; ++i) {
        Face& f = faces[i];
        int32_t* corners[3] = {&f.a, &f.b, &f.c};
        for (int32_t* corner : corners) {
            if (!ReadInt(reader, *corner)) {
                return RefuseToken(reader, problem, ("face " + std::to_string(i)).c_str());
            }
            if (*corner < 0 || *corner >= vertexCount) {
                return Refuse(reader, problem,
                              "face " + std::to_string(i) + ": corner index " +
                                  std::to_string(*corner) + " is outside the " +
                                  std::to_string(vertexCount) + " vertices of the object");
            }
        }
        if (!ReadInt(reader, f.texture)) {
            return RefuseToken(reader, problem,
                               ("face " + std::to_string(i) + " texture index").c_str());
        }
        f.hidden = hidden;
        f.nx = f.ny = f.nz = 0.0f;
    }
    return true;
}

}  // namespace

SceneObject::SceneObject()
    : vertexCount(0),
      faceCount(0),
      hidden(0),
      x(0.0f),
      y(0.0f),
      z(0.0f),
      vertices(nullptr),
      faces(nullptr),
      scale(0.0f),
      loaded(false) {}

bool ParseObjectText(const char* text, size_t size, SceneObject& object, LoadProblem* problem) {
    TokenReader reader = MakeTokenReader(text, size);
    int32_t vertexCount = 0, faceCount = 0;
    if (!ReadInt(reader, vertexCount)) return RefuseToken(reader, problem, "vertex count");
    if (vertexCount < 0) return Refuse(reader, problem, "negative vertex count");
    if (!ReadInt(reader, faceCount)) return RefuseToken(reader, problem, "face count");
    if (faceCount < 0) return Refuse(reader, problem, "negative face count");
    // Checked before allocating: a short file claiming billions of records allocates nothing.
    if (!FileCanHold(reader, vertexCount, faceCount)) {
        return Refuse(reader, problem,
                      "the file is too short to hold " + std::to_string(vertexCount) +
                          " vertices and " + std::to_string(faceCount) + " faces");
    }
    // Three header values that nothing uses, but that must be numbers.
    float header = 0.0f;
    int32_t hidden = 0;
    for (int i = 0; i < 3; ++i) {
        if (!ReadFloat(reader, header)) return RefuseToken(reader, problem, "header value");
    }
    if (!ReadInt(reader, hidden)) return RefuseToken(reader, problem, "hidden value");

    Vertex* vertices = AllocateArray<Vertex>(vertexCount);
    Face* faces = AllocateArray<Face>(faceCount);
    const bool allocated =
        (vertexCount == 0 || vertices != nullptr) && (faceCount == 0 || faces != nullptr);
    if (!allocated || !ReadVertices(reader, vertices, vertexCount, problem) ||
        !ReadFaces(reader, faces, faceCount, vertexCount, hidden, problem)) {
        ReleaseArray(vertices, vertexCount);
        ReleaseArray(faces, faceCount);
        return allocated ? false : Refuse(reader, problem, "not enough memory for the object");
    }
    object.vertexCount = vertexCount;
    object.faceCount = faceCount;
    object.hidden = hidden;
    object.vertices = vertices;
    object.faces = faces;
    object.loaded = true;
    return true;
}

bool SceneObject::LoadObject(const char* name) {
    MappedFile file;
    bool valid = false;
    if (OpenMappedFile(name, file)) {
        valid = ParseObjectText(file.data, file.size, *this, nullptr);
        CloseMappedFile(file);
    }
    if (!valid) ShowMessageBox(kObjectLoadError, kLoaderCaption);
    return !valid;
}

void SceneObject::SetPosition(float newX, float newY, float newZ) {
    x = newX;
    y = newY;
    z = newZ;
}

void SceneObject::ScaleObject(float factor) {
    scale = factor;
    for (int32_t i = 0; i < vertexCount; ++i) {
        vertices[i].x = static_cast<float>(static_cast<double>(vertices[i].x) * factor);
        vertices[i].y = static_cast<float>(static_cast<double>(vertices[i].y) * factor);
        vertices[i].z = static_cast<float>(static_cast<double>(vertices[i].z) * factor);
    }
}

void SceneObject::FreeObject() {
    if (vertexCount != 0) ReleaseArray(vertices, vertexCount);
    if (faceCount != 0) ReleaseArray(faces, faceCount);
    // Emptied, so that a second call cannot release the arrays twice.
    vertexCount = faceCount = 0;
    vertices = nullptr;
    faces = nullptr;
}
