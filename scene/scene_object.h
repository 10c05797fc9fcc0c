// One object file's vertices and faces, placed and scaled by the scene.
//
// Lifecycle: constructor, LoadObject, then SetPosition and ScaleObject, read by CompileScene,
// and FreeObject at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/geometry.h"
#include "scene/load_problem.h"
#include "scene/mapped_file.h"

struct SceneObject {
    int32_t vertexCount;
    int32_t faceCount;
    int32_t hidden;    // copied into every face by LoadObject
    float x, y, z;     // position in the world, added by compilation, never scaled
    Vertex* vertices;  // vertexCount elements, object coordinates, already scaled
    Face* faces;       // faceCount elements, corners index `vertices`
    float scale;       // the factor of the last ScaleObject
    bool loaded;

    SceneObject();
    SceneObject(const SceneObject&) = delete;
    SceneObject& operator=(const SceneObject&) = delete;

    // Reads the object file `name`. True on failure (the sense is the loader's: true means
    // refused), with `problem`, when given, saying where and why (box Object); the object is
    // then as constructed and holds no memory. Refused: a file that cannot be opened, and a
    // malformed one (a negative count, counts the file is too short to hold, a missing or
    // non-numeric token before the end of the last face, a corner index outside the object's
    // vertices). A texture index is not checked here: faces with an unknown texture are kept and
    // never drawn. Tokens after the last face are ignored.
    bool LoadObject(const char* name, LoadProblem* problem = nullptr);
    void SetPosition(float x, float y, float z);
    // Multiplies every vertex position by `factor` in place and records it in `scale`.
    void ScaleObject(float factor);
    // Releases the arrays; decides by the counts, so an object never loaded releases nothing.
    void FreeObject();
};

// The reading half of LoadObject, on text already in memory. True when the text is a valid
// object file; then `object` (freshly constructed) holds it and `loaded` is true. Otherwise the
// object stays as constructed, nothing is left allocated and `problem`, when given, says where
// and why.
// When the text is a whole mapped file, `source` names it and its pages are given back as they are
// read.
bool ParseObjectText(const char* text, size_t size, SceneObject& object, LoadProblem* problem,
                     const MappedFile* source = nullptr);

// ---- Writing --------------------------------------------------------------------------------

// An object file's contents to write, as the tools make them.
struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<Face> faces;
    int32_t hidden = 0;  // non-zero: the viewer counts the faces but never draws them
};

// The object file's text: the counts, the header with `hidden`, then the vertices and the faces
// (corners and texture; normals and the hidden field are the reader's to fill). Numbers have four
// decimals at most, trailing zeros dropped.
std::string EncodeObject(const Mesh& mesh);
