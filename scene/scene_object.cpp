#include "scene/scene_object.h"

#include <algorithm>  // min
#include <string>
#include <vector>

#include "scene/large_array.h"
#include "scene/parallel.h"
#include "scene/mapped_file.h"
#include "scene/token_chunks.h"
#include "scene/token_reader.h"

namespace {

// Where the tokens after the header go: token k is field k % 5 of vertex k / 5 while k is below
// 5 * vertexCount, then field j % 4 (a, b, c, texture) of face j / 4, j = k - 5 * vertexCount.
struct ObjectBody {
    Vertex* vertices;
    int32_t vertexCount;
    Face* faces;
    int32_t faceCount;
    int32_t hidden;

    int64_t TokenCount() const { return 5 * int64_t{vertexCount} + 4 * int64_t{faceCount}; }
};

// The pages of a mapped file that a reader has passed are given back every this many bytes.
constexpr ptrdiff_t kReleaseStep = ptrdiff_t{16} << 20;

inline void ReleasePassed(const MappedFile* source, const TokenReader& reader,
                          const char*& released) {
    if (source == nullptr || reader.cursor - released < kReleaseStep) return;
    ReleaseMappedPages(*source, released, reader.cursor);
    released = reader.cursor;
}

// Reads tokens `first` to `last` - 1 of the body from where `reader` stands. False at the first
// fault, which `problem` then describes.
bool ReadBodyTokens(TokenReader& reader, const ObjectBody& body, int64_t first, int64_t last,
                    const MappedFile* source, LoadProblem* problem) {
    int64_t k = first;
    const int64_t vertexTokens = 5 * int64_t{body.vertexCount};
    const char* released = reader.cursor;
    for (; k < last && k < vertexTokens;) {
        if (k % 8192 == 0) ReleasePassed(source, reader, released);
        const int32_t i = static_cast<int32_t>(k / 5);
        Vertex& v = body.vertices[i];
        float* const fields[5] = {&v.x, &v.y, &v.z, &v.u, &v.v};
        for (int field = static_cast<int>(k % 5); field < 5 && k < last; ++field, ++k) {
            if (!ReadFloat(reader, *fields[field])) {
                return RefuseToken(reader, problem, "vertex " + std::to_string(i));
            }
        }
    }
    for (; k < last;) {
        if ((k - vertexTokens) % 8192 == 0) ReleasePassed(source, reader, released);
        const int32_t i = static_cast<int32_t>((k - vertexTokens) / 4);
        Face& f = body.faces[i];
        int field = static_cast<int>((k - vertexTokens) % 4);
        if (field == 0) {
            f.hidden = body.hidden;
            f.nx = f.ny = f.nz = 0.0f;
        }
        int32_t* const corners[3] = {&f.a, &f.b, &f.c};
        for (; field < 3 && k < last; ++field, ++k) {
            if (!ReadInt(reader, *corners[field])) {
                return RefuseToken(reader, problem, "face " + std::to_string(i));
            }
            const int32_t corner = *corners[field];
            if (corner < 0 || corner >= body.vertexCount) {
                return Refuse(reader, problem,
                              "face " + std::to_string(i) + ": corner index " +
                                  std::to_string(corner) + " is outside the " +
                                  std::to_string(body.vertexCount) + " vertices of the object");
            }
        }
        if (field == 3 && k < last) {
            if (!ReadInt(reader, f.texture)) {
                return RefuseToken(reader, problem, "face " + std::to_string(i) + " texture index");
            }
            ++k;
        }
    }
    return true;
}

// The body, from where `reader` stands. A large one is cut at token starts into one chunk per
// core, each read by a thread of its own straight into the arrays; the first fault in the
// file's order is the one reported, as a single reader would have found it.
bool ReadBody(const TokenReader& reader, const ObjectBody& body, const MappedFile* source,
              LoadProblem* problem) {
    const int parts = WorkersFor(RemainingBytes(reader));
    const std::vector<TokenChunk> chunks = SplitAtTokens(reader.cursor, reader.end, parts);
    std::vector<LoadProblem> problems(chunks.size());
    std::vector<char> failed(chunks.size(), 0);
    RunInParallel(static_cast<int>(chunks.size()), [&](int part) {
        const TokenChunk& chunk = chunks[part];
        const bool lastChunk = static_cast<size_t>(part) + 1 == chunks.size();
        const int64_t first = std::min(chunk.firstToken, body.TokenCount());
        const int64_t last = lastChunk ? body.TokenCount()
                                       : std::min(chunks[part + 1].firstToken, body.TokenCount());
        TokenReader own = reader;
        own.cursor = chunk.begin;
        own.end = lastChunk ? reader.end : chunk.end;
        failed[part] =
            !ReadBodyTokens(own, body, first, last, source, problem ? &problems[part] : nullptr);
    });
    for (size_t part = 0; part < chunks.size(); ++part) {
        if (!failed[part]) continue;
        if (problem != nullptr) *problem = problems[part];
        return false;
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

bool ParseObjectText(const char* text, size_t size, SceneObject& object, LoadProblem* problem,
                     const MappedFile* source) {
    TokenReader reader = MakeTokenReader(text, size);
    int32_t vertexCount = 0, faceCount = 0;
    if (!ReadInt(reader, vertexCount)) return RefuseToken(reader, problem, "vertex count");
    if (vertexCount < 0) return Refuse(reader, problem, "negative vertex count");
    if (!ReadInt(reader, faceCount)) return RefuseToken(reader, problem, "face count");
    if (faceCount < 0) return Refuse(reader, problem, "negative face count");
    // Checked before allocating: a short file claiming billions of records allocates nothing.
    // Four header values, five tokens a vertex, four a face.
    const uint64_t tokens =
        4 + 5 * static_cast<uint64_t>(vertexCount) + 4 * static_cast<uint64_t>(faceCount);
    if (!CanHoldTokens(reader, tokens)) {
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
    if (!allocated ||
        !ReadBody(reader, {vertices, vertexCount, faces, faceCount, hidden}, source, problem)) {
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

bool SceneObject::LoadObject(const char* name, LoadProblem* problem) {
    MappedFile file;
    if (!OpenNamedFile(name, file, problem)) {
        if (problem != nullptr) problem->box = LoadBox::Object;
        return true;
    }
    const bool valid = ParseObjectText(file.data, file.size, *this, problem, &file);
    CloseMappedFile(file);
    if (!valid && problem != nullptr) {
        problem->file = name;
        problem->box = LoadBox::Object;
    }
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
