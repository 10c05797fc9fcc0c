#include "app/scene_check.h"

#include <cerrno>
#include <cstring>  // strerror
#include <map>

#include "app/messages.h"
#include "render/tga.h"
#include "scene/camera.h"
#include "scene/scene_file.h"
#include "scene/scene_object.h"
#include "scene/mapped_file.h"
#include "scene/token_reader.h"

namespace {

// Warnings about faces with an unknown texture, per object file, before a summary line.
constexpr int kFaceWarningsPerFile = 5;
// Set in a TGA file's descriptor byte when it says its first row is the top one; the viewer
// ignores it and takes the first row as the bottom (v = 0).
constexpr uint8_t kTgaTopOriginBit = 0x20;

struct Checker {
    SceneCheck result;

    // A problem, with line 1, column 1 where it has no place of its own in `file`.
    void Report(LoadProblem problem) {
        if (problem.line == 0) problem.line = problem.column = 1;
        if (!problem.warning) result.loadable = false;
        result.messages.push_back(std::move(problem));
    }
    void Report(const std::string& file, const char* text, size_t offset, bool warning,
                std::string message) {
        LoadProblem problem;
        problem.file = file;
        problem.offset = offset;
        if (text != nullptr) {
            const TextPosition position = PositionOf(text, offset);
            problem.line = position.line;
            problem.column = position.column;
        }
        problem.warning = warning;
        problem.message = std::move(message);
        Report(std::move(problem));
    }
};

// What one object file adds to the totals each time the scene places it.
struct ObjectTotals {
    bool loads = false;
    int64_t vertexCount = 0;
    int64_t faceCount = 0;
    bool hidden = false;
};

void WarnAboutUnknownTextures(Checker& checker, const std::string& fileName,
                              const SceneObject& object, int32_t textureCount) {
    const std::string known = textureCount == 0
                                  ? "it has none"
                                  : "its " + std::to_string(textureCount) + " textures are 0 to " +
                                        std::to_string(textureCount - 1);
    int unknownTextures = 0;
    for (int32_t i = 0; i < object.faceCount; ++i) {
        const int32_t texture = object.faces[i].texture;
        if (texture >= 0 && texture < textureCount) continue;
        if (++unknownTextures <= kFaceWarningsPerFile) {
            checker.Report(fileName, nullptr, 0, true,
                           "face " + std::to_string(i) + ": texture index " +
                               std::to_string(texture) + " names no texture of the scene (" +
                               known + "); the face is never drawn");
        }
    }
    if (unknownTextures > kFaceWarningsPerFile) {
        checker.Report(fileName, nullptr, 0, true,
                       std::to_string(unknownTextures - kFaceWarningsPerFile) +
                           " more faces with a texture index that names no texture");
    }
}

ObjectTotals CheckObject(Checker& checker, const MappedFile& scene, const std::string& scenePath,
                         const SceneFileEntry& entry, int32_t textureCount) {
    ObjectTotals totals;
    const std::string& fileName = entry.fileName;
    SceneObject object;
    LoadProblem problem;
    if (object.LoadObject(fileName.c_str(), &problem)) {
        PlaceAtName(problem, "object", entry, scenePath.c_str(), scene.data);
        checker.Report(std::move(problem));
        return totals;
    }
    if (object.hidden != 0 && object.faceCount > 0) {
        checker.Report(fileName, nullptr, 0, true,
                       "all " + std::to_string(object.faceCount) + " faces are hidden (hidden " +
                           std::to_string(object.hidden) +
                           "): the object is never drawn, though its faces count in the totals");
    } else {  // a hidden face is never drawn, whatever its texture
        WarnAboutUnknownTextures(checker, fileName, object, textureCount);
    }
    totals = {true, object.vertexCount, object.faceCount, object.hidden != 0};
    object.FreeObject();
    return totals;
}

bool IsPowerOfTwo(uint32_t side) {
    return side != 0 && (side & (side - 1)) == 0;
}

// What the viewer loads without complaint but draws otherwise than the author meant.
void WarnAboutTexture(Checker& checker, const MappedFile& scene, const std::string& scenePath,
                      const SceneFileEntry& entry, const TgaImage& image) {
    const std::string texture = "texture '" + entry.fileName + "'";
    if ((image.descriptor & kTgaTopOriginBit) != 0) {
        checker.Report(scenePath, scene.data, entry.offset, true,
                       texture +
                           ": its header says the first row is the top one (byte 17, bit 5), but "
                           "the viewer takes the first row as the bottom, so it shows upside "
                           "down; store the rows bottom first and clear the bit");
    }
    if (!IsPowerOfTwo(image.width) || !IsPowerOfTwo(image.height)) {
        checker.Report(scenePath, scene.data, entry.offset, true,
                       texture + " is " + std::to_string(image.width) + " x " +
                           std::to_string(image.height) +
                           ": OpenGL 1.1 takes only sides that are powers of two, so on such a "
                           "driver its faces are drawn untextured");
    }
}

void CheckTexture(Checker& checker, const MappedFile& scene, const std::string& scenePath,
                  const SceneFileEntry& entry) {
    MappedFile file;
    LoadProblem problem;
    if (!OpenNamedFile(entry.fileName.c_str(), file, &problem)) {
        PlaceAtName(problem, "texture", entry, scenePath.c_str(), scene.data);
        checker.Report(std::move(problem));
        return;
    }
    TgaImage image;
    const TgaError error = DecodeTga(reinterpret_cast<const uint8_t*>(file.data), file.size, image);
    if (error != TgaError::None) {
        checker.Report(scenePath, scene.data, entry.offset, false,
                       "texture '" + entry.fileName + "' is refused: " + DescribeTgaError(error));
    } else {
        WarnAboutTexture(checker, scene, scenePath, entry, image);
    }
    ReleaseTgaImage(image);
    CloseMappedFile(file);
}

void CheckCamera(Checker& checker, const MappedFile& scene, const std::string& scenePath,
                 const SceneFileEntry& entry) {
    Camera camera;
    LoadProblem problem;
    if (camera.LoadCamera(entry.fileName.c_str(), &problem) != 0) {
        PlaceAtName(problem, "camera", entry, scenePath.c_str(), scene.data);
        checker.Report(std::move(problem));
    } else if (!problem.message.empty()) {
        checker.Report(std::move(problem));  // a warning: the viewer reads 0 from there on
    }
}

// CheckScene's visitor of the scene file's walk: every item checked, none stops the walk. A file
// placed many times is read, and its faults reported, once; it counts in the totals at every
// placement, as in the viewer's.
struct Check {
    Checker& checker;
    const MappedFile& scene;
    const std::string& scenePath;
    int32_t textureCount = 0;
    std::map<std::string, ObjectTotals> objectFiles;

    bool OnCounts(int32_t, int32_t textures) {
        textureCount = textures;
        return true;
    }
    bool OnObject(int32_t, const SceneObjectRecord& record) {
        auto file = objectFiles.find(record.fileName);
        if (file == objectFiles.end()) {
            const SceneFileEntry entry{record.fileName, record.fileNameOffset};
            file = objectFiles
                       .emplace(record.fileName,
                                CheckObject(checker, scene, scenePath, entry, textureCount))
                       .first;
        }
        const ObjectTotals& totals = file->second;
        if (!totals.loads) return true;
        checker.result.vertexCount += totals.vertexCount;
        checker.result.faceCount += totals.faceCount;
        if (totals.hidden) checker.result.hiddenFaceCount += totals.faceCount;
        ++checker.result.objectCount;
        return true;
    }
    bool OnTexture(int32_t, const SceneFileEntry& entry) {
        CheckTexture(checker, scene, scenePath, entry);
        return true;
    }
    bool OnCamera(const SceneFileEntry& entry) {
        CheckCamera(checker, scene, scenePath, entry);
        return true;
    }
};

}  // namespace

SceneCheck CheckScene(const char* sceneFile) {
    Checker checker;
    const std::string scenePath = sceneFile;
    MappedFile scene;
    LoadProblem problem;
    if (!OpenNamedFile(sceneFile, scene, &problem)) {
        problem.message = "scene file " + problem.message;
        checker.Report(std::move(problem));
        return checker.result;
    }
    // Everything read before a fault is still checked, as it is read.
    Check check{checker, scene, scenePath, 0, {}};
    if (!WalkSceneText(scene.data, scene.size, check, &problem)) {
        problem.file = scenePath;
        checker.Report(std::move(problem));
    }
    if (checker.result.vertexCount > INT32_MAX || checker.result.faceCount > INT32_MAX) {
        checker.Report(scenePath, nullptr, 0, true,
                       "the world holds more than 2147483647 vertices or faces; the viewer "
                       "loads it but draws nothing");
    }
    CloseMappedFile(scene);
    return checker.result;
}

void PrintCheckMessages(const SceneCheck& check, std::FILE* to) {
    for (const LoadProblem& message : check.messages) {
        std::fprintf(to, "%s\n", FormatLoadProblem(message).c_str());
    }
}
