// The scene file's tokens, read in order: the two counts, the object records, the texture names
// and the camera name. WalkSceneText is the one walk through them: LoadScene loads each item as
// soon as it is read, the checker checks each, ParseSceneText collects them.
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

// A name in the scene file and where it stands.
struct SceneFileEntry {
    std::string fileName;
    size_t offset = 0;  // of the name in the scene file
};
struct SceneFileObject {
    SceneFileEntry file;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float scale = 0.0f;
};
// The whole scene file, as the tools see it: nothing is opened or loaded.
struct SceneFileContents {
    int32_t objectCount = 0;
    int32_t textureCount = 0;
    std::vector<SceneFileObject> objects;
    std::vector<SceneFileEntry> textures;
    SceneFileEntry camera;
};

// Reads the scene file's items in order and hands each to `visitor` as soon as it is read:
//   bool OnCounts(int32_t objectCount, int32_t textureCount)
//   bool OnObject(int32_t index, const SceneObjectRecord& record)
//   bool OnTexture(int32_t index, const SceneFileEntry& entry)
//   bool OnCamera(const SceneFileEntry& entry)
// A visitor returns false to stop the walk there. True when the walk went through; false when it
// stopped, at the file's first fault (`problem`, when given, says where and why) or where the
// visitor stopped it.
template <typename Visitor>
bool WalkSceneText(const char* text, size_t size, Visitor& visitor, LoadProblem* problem) {
    SceneFileReader reader = MakeSceneFileReader(text, size, problem);
    int32_t objectCount = 0, textureCount = 0;
    if (!ReadSceneCounts(reader, objectCount, textureCount) ||
        !visitor.OnCounts(objectCount, textureCount)) {
        return false;
    }
    for (int32_t i = 0; i < objectCount; ++i) {
        SceneObjectRecord record;  // all five tokens before the object is looked at
        if (!ReadSceneObjectRecord(reader, i, record) || !visitor.OnObject(i, record)) return false;
    }
    char name[kMaxNameLength + 1];
    for (int32_t i = 0; i < textureCount; ++i) {
        if (!ReadSceneTextureName(reader, i, name) ||
            !visitor.OnTexture(i, SceneFileEntry{name, LastTokenOffset(reader)})) {
            return false;
        }
    }
    return ReadSceneCameraName(reader, name) &&
           visitor.OnCamera(SceneFileEntry{name, LastTokenOffset(reader)});
}

// True when the text is a well-formed scene file; `contents` then holds it. Otherwise `contents`
// holds what was read before the fault and `problem`, when given, says where and why.
bool ParseSceneText(const char* text, size_t size, SceneFileContents& contents,
                    LoadProblem* problem);

// A problem with a file the scene names (`kind`: "object", "texture", "camera") that has no place
// in that file (it could not be opened, or a texture was refused) moved to where the scene file
// names it: "object file 'crate.obj' cannot be opened (...)" at the name in `sceneFile`. A problem
// with a place in its own file stays there.
void PlaceAtName(LoadProblem& problem, const char* kind, const SceneFileEntry& name,
                 const char* sceneFile, const char* sceneText);

// ---- Writing --------------------------------------------------------------------------------

// One object record to write.
struct Placement {
    std::string object;  // file name as the scene file gives it
    double x, y, z;
    double scale;
};

// The scene file's text; `camera` names the camera file.
std::string EncodeScene(const std::vector<Placement>& placements,
                        const std::vector<std::string>& textures, const std::string& camera);
