// The scene file's tokens, read in order: the two counts, the object records, the texture names
// and the camera name. LoadScene reads through these steps one item at a time, loading each item
// as soon as it is read; ParseSceneText reads the whole file with them for the tools.
//
// A scene file is refused at its first fault: a missing token, a count that is not a
// non-negative integer, a float that is not a float, a name longer than kMaxNameLength, or counts
// that the rest of the file is too short to hold (checked before anything is allocated). Tokens
// after the camera name are ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/load_problem.h"
#include "scene/token_reader.h"

struct SceneFileReader {
    TokenReader tokens;
    LoadProblem* problem = nullptr;  // filled at the first fault, when given
    int32_t objectCount = 0;         // as read by ReadSceneCounts, for the problem's words
    int32_t textureCount = 0;
};

SceneFileReader MakeSceneFileReader(const char* text, size_t size, LoadProblem* problem);

// Tokens 1 and 2. False on a fault, which includes a negative count and counts the rest of the
// file cannot hold.
bool ReadSceneCounts(SceneFileReader& reader, int32_t& objectCount, int32_t& textureCount);

// One object record: file name (into a buffer of kMaxNameLength + 1), position, scale factor.
// `index` (from 0) only names the record in the problem, which counts records from 1, as a
// person reading the file does: "object 2 of 3".
struct SceneObjectRecord {
    char fileName[kMaxNameLength + 1];
    float x, y, z;
    float scale;
    size_t fileNameOffset;  // of the name in the scene file
};
bool ReadSceneObjectRecord(SceneFileReader& reader, int32_t index, SceneObjectRecord& record);

// The name of texture `index`, or of the camera, into a buffer of kMaxNameLength + 1.
bool ReadSceneTextureName(SceneFileReader& reader, int32_t index, char* fileName);
bool ReadSceneCameraName(SceneFileReader& reader, char* fileName);

// Byte offset of the token read last, for pointing at a name whose file then fails to load.
inline size_t LastTokenOffset(const SceneFileReader& reader) {
    return static_cast<size_t>(reader.tokens.tokenStart - reader.tokens.begin);
}

// The whole scene file, as a checker tool sees it: nothing is opened or loaded.
struct SceneFileEntry {
    std::string fileName;
    size_t offset = 0;  // of the name in the scene file
};
struct SceneFileObject {
    SceneFileEntry file;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float scale = 0.0f;
};
struct SceneFileContents {
    int32_t objectCount = 0;
    int32_t textureCount = 0;
    std::vector<SceneFileObject> objects;
    std::vector<SceneFileEntry> textures;
    SceneFileEntry camera;
};

// True when the text is a well-formed scene file; `contents` then holds it. Otherwise `contents`
// holds what was read before the fault and `problem`, when given, says where and why.
bool ParseSceneText(const char* text, size_t size, SceneFileContents& contents,
                    LoadProblem* problem);
