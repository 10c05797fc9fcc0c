#include "scene/scene_file.h"

#include <utility>

namespace {

bool Refuse(SceneFileReader& reader, std::string message) {
    return Refuse(reader.tokens, reader.problem, std::move(message));
}

bool RefuseToken(SceneFileReader& reader, const std::string& what) {
    return RefuseToken(reader.tokens, reader.problem, what);
}

// "2 of 3" for index 1 of 3 records.
std::string Ordinal(int32_t index, int32_t count) {
    return std::to_string(int64_t{index} + 1) + " of " + std::to_string(count);
}

}  // namespace

SceneFileReader MakeSceneFileReader(const char* text, size_t size, LoadProblem* problem) {
    SceneFileReader reader;
    reader.tokens = MakeTokenReader(text, size);
    reader.problem = problem;
    return reader;
}

bool ReadSceneCounts(SceneFileReader& reader, int32_t& objectCount, int32_t& textureCount) {
    int32_t objects = 0, textures = 0;
    if (!ReadInt(reader.tokens, objects)) return RefuseToken(reader, "object count");
    if (objects < 0) return Refuse(reader, "negative object count");
    if (!ReadInt(reader.tokens, textures)) return RefuseToken(reader, "texture count");
    if (textures < 0) return Refuse(reader, "negative texture count");
    // Five tokens an object record, one a texture, one for the camera.
    const uint64_t tokens =
        5 * static_cast<uint64_t>(objects) + static_cast<uint64_t>(textures) + 1;
    if (!CanHoldTokens(reader.tokens, tokens)) {
        return Refuse(reader, "the file is too short to hold " + std::to_string(objects) +
                                  " object records, " + std::to_string(textures) +
                                  " texture names and a camera name");
    }
    objectCount = reader.objectCount = objects;
    textureCount = reader.textureCount = textures;
    return true;
}

bool ReadSceneObjectRecord(SceneFileReader& reader, int32_t index, SceneObjectRecord& record) {
    const auto what = [&](const char* field) {
        return "object " + Ordinal(index, reader.objectCount) + ", " + field;
    };
    if (!ReadName(reader.tokens, record.fileName)) return RefuseToken(reader, what("file name"));
    record.fileNameOffset = LastTokenOffset(reader);
    static const char* const kFields[4] = {"x", "y", "z", "scale factor"};
    float* const values[4] = {&record.x, &record.y, &record.z, &record.scale};
    for (int i = 0; i < 4; ++i) {
        if (!ReadFloat(reader.tokens, *values[i])) return RefuseToken(reader, what(kFields[i]));
    }
    return true;
}

bool ReadSceneTextureName(SceneFileReader& reader, int32_t index, char* fileName) {
    if (ReadName(reader.tokens, fileName)) return true;
    return RefuseToken(reader, "texture " + Ordinal(index, reader.textureCount) + ", file name");
}

bool ReadSceneCameraName(SceneFileReader& reader, char* fileName) {
    if (ReadName(reader.tokens, fileName)) return true;
    return RefuseToken(reader, "camera file name");
}

namespace {

// ParseSceneText's visitor: every item into the contents.
struct Collect {
    SceneFileContents& contents;

    bool OnCounts(int32_t objectCount, int32_t textureCount) {
        contents.objectCount = objectCount;
        contents.textureCount = textureCount;
        // The counts are bounded by the file's size, so the reservations are too.
        contents.objects.reserve(static_cast<size_t>(objectCount));
        contents.textures.reserve(static_cast<size_t>(textureCount));
        return true;
    }
    bool OnObject(int32_t, const SceneObjectRecord& record) {
        SceneFileObject object;
        object.file = SceneFileEntry{record.fileName, record.fileNameOffset};
        object.x = record.x;
        object.y = record.y;
        object.z = record.z;
        object.scale = record.scale;
        contents.objects.push_back(std::move(object));
        return true;
    }
    bool OnTexture(int32_t, const SceneFileEntry& entry) {
        contents.textures.push_back(entry);
        return true;
    }
    bool OnCamera(const SceneFileEntry& entry) {
        contents.camera = entry;
        return true;
    }
};

}  // namespace

bool ParseSceneText(const char* text, size_t size, SceneFileContents& contents,
                    LoadProblem* problem) {
    contents = SceneFileContents();
    Collect collect{contents};
    return WalkSceneText(text, size, collect, problem);
}

void PlaceAtName(LoadProblem& problem, const char* kind, const SceneFileEntry& name,
                 const char* sceneFile, const char* sceneText) {
    if (problem.line != 0) return;
    problem.message = std::string(kind) + (problem.unopened ? " file '" : " '") + name.fileName +
                      "' " + problem.message;
    problem.file = sceneFile;
    problem.offset = name.offset;
    const TextPosition position = PositionOf(sceneText, name.offset);
    problem.line = position.line;
    problem.column = position.column;
}
