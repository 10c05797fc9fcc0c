#include "app/scene_check.h"

#include <cerrno>
#include <cstring>  // strerror
#include <map>

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

    void Report(const std::string& file, const char* text, size_t offset, bool warning,
                std::string message) {
        CheckMessage entry;
        entry.file = file;
        if (text != nullptr) {
            const TextPosition position = PositionOf(text, offset);
            entry.line = position.line;
            entry.column = position.column;
        }
        entry.warning = warning;
        entry.text = std::move(message);
        if (!warning) result.loadable = false;
        result.messages.push_back(std::move(entry));
    }
};

// Opens a file the scene names; when it cannot be opened, the error points at its name in the
// scene file.
bool OpenNamedFile(Checker& checker, const MappedFile& scene, const std::string& scenePath,
                   const SceneFileEntry& entry, const char* kind, MappedFile& file) {
    errno = 0;
    if (OpenMappedFile(entry.fileName.c_str(), file)) return true;
    checker.Report(scenePath, scene.data, entry.offset, false,
                   std::string(kind) + " file '" + entry.fileName + "' cannot be opened" +
                       (errno != 0 ? std::string(" (") + std::strerror(errno) + ")" : ""));
    return false;
}

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
                         const SceneFileObject& entry, int32_t textureCount) {
    ObjectTotals totals;
    MappedFile file;
    if (!OpenNamedFile(checker, scene, scenePath, entry.file, "object", file)) return totals;
    const std::string& fileName = entry.file.fileName;
    SceneObject object;
    LoadProblem problem;
    if (!ParseObjectText(file.data, file.size, object, &problem)) {
        checker.Report(fileName, file.data, problem.offset, false, problem.message);
        CloseMappedFile(file);
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
    CloseMappedFile(file);
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
    if (!OpenNamedFile(checker, scene, scenePath, entry, "texture", file)) return;
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
    MappedFile file;
    if (!OpenNamedFile(checker, scene, scenePath, entry, "camera", file)) return;
    Camera camera;
    LoadProblem problem;
    if (!ParseCameraText(file.data, file.size, camera, &problem)) {
        checker.Report(entry.fileName, file.data, problem.offset, true,
                       problem.message + "; the viewer reads 0 from here on");
    }
    CloseMappedFile(file);
}

}  // namespace

SceneCheck CheckScene(const char* sceneFile) {
    Checker checker;
    const std::string scenePath = sceneFile;
    MappedFile scene;
    errno = 0;
    if (!OpenMappedFile(sceneFile, scene)) {
        checker.Report(scenePath, nullptr, 0, false,
                       "scene file cannot be opened" +
                           (errno != 0 ? std::string(" (") + std::strerror(errno) + ")" : ""));
        return checker.result;
    }
    SceneFileContents contents;
    LoadProblem problem;
    if (!ParseSceneText(scene.data, scene.size, contents, &problem)) {
        checker.Report(scenePath, scene.data, problem.offset, false, problem.message);
    }
    // Everything read before a fault is still checked. A file placed many times is read, and its
    // faults reported, once; it counts in the totals at every placement, as in the viewer's.
    std::map<std::string, ObjectTotals> objectFiles;
    for (const SceneFileObject& object : contents.objects) {
        auto file = objectFiles.find(object.file.fileName);
        if (file == objectFiles.end()) {
            file = objectFiles
                       .emplace(object.file.fileName, CheckObject(checker, scene, scenePath, object,
                                                                  contents.textureCount))
                       .first;
        }
        const ObjectTotals& totals = file->second;
        if (!totals.loads) continue;
        checker.result.vertexCount += totals.vertexCount;
        checker.result.faceCount += totals.faceCount;
        if (totals.hidden) checker.result.hiddenFaceCount += totals.faceCount;
        ++checker.result.objectCount;
    }
    for (const SceneFileEntry& texture : contents.textures) {
        CheckTexture(checker, scene, scenePath, texture);
    }
    if (!contents.camera.fileName.empty()) CheckCamera(checker, scene, scenePath, contents.camera);
    if (checker.result.vertexCount > INT32_MAX || checker.result.faceCount > INT32_MAX) {
        checker.Report(scenePath, nullptr, 0, true,
                       "the world holds more than 2147483647 vertices or faces; the viewer "
                       "loads it but draws nothing");
    }
    CloseMappedFile(scene);
    return checker.result;
}

void PrintCheckMessages(const SceneCheck& check, std::FILE* to) {
    for (const CheckMessage& message : check.messages) {
        std::fprintf(to, "%s\n", FormatCheckMessage(message).c_str());
    }
}

std::string FormatCheckMessage(const CheckMessage& message) {
    return message.file + ":" + std::to_string(message.line) + ":" +
           std::to_string(message.column) + (message.warning ? ": warning: " : ": error: ") +
           message.text;
}
