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

bool ParseSceneText(const char* text, size_t size, SceneFileContents& contents,
                    LoadProblem* problem) {
    contents = SceneFileContents();
    SceneFileReader reader = MakeSceneFileReader(text, size, problem);
    if (!ReadSceneCounts(reader, contents.objectCount, contents.textureCount)) return false;
    // The counts are bounded by the file's size, so the reservations are too.
    contents.objects.reserve(static_cast<size_t>(contents.objectCount));
    contents.textures.reserve(static_cast<size_t>(contents.textureCount));
    for (int32_t i = 0; i < contents.objectCount; ++i) {
        SceneObjectRecord record;
        if (!ReadSceneObjectRecord(reader, i, record)) return false;
        SceneFileObject object;
        object.file.fileName = record.fileName;
        object.file.offset = record.fileNameOffset;
        object.x = record.x;
        object.y = record.y;
        object.z = record.z;
        object.scale = record.scale;
        contents.objects.push_back(std::move(object));
    }
    char name[kMaxNameLength + 1];
    for (int32_t i = 0; i < contents.textureCount; ++i) {
        if (!ReadSceneTextureName(reader, i, name)) return false;
        contents.textures.push_back({name, LastTokenOffset(reader)});
    }
    if (!ReadSceneCameraName(reader, name)) return false;
    contents.camera = {name, LastTokenOffset(reader)};
    return true;
}
