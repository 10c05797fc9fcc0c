#include "app/scene_check.h"

#include <cerrno>
#include <cstring>  // strerror

#include "render/tga.h"
#include "scene/camera.h"
#include "scene/scene_file.h"
#include "scene/scene_object.h"
#include "scene/mapped_file.h"
#include "scene/token_reader.h"

namespace {

// Warnings about faces with an unknown texture, per object file, before a summary line.
constexpr int kFaceWarningsPerFile = 5;

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

void CheckObject(Checker& checker, const MappedFile& scene, const std::string& scenePath,
                 const SceneFileObject& entry, int32_t textureCount) {
    MappedFile file;
    if (!OpenNamedFile(checker, scene, scenePath, entry.file, "object", file)) return;
    SceneObject object;
    LoadProblem problem;
    if (!ParseObjectText(file.data, file.size, object, &problem)) {
        checker.Report(entry.file.fileName, file.data, problem.offset, false, problem.message);
        CloseMappedFile(file);
        return;
    }
    int unknownTextures = 0;
    for (int32_t i = 0; i < object.faceCount; ++i) {
        const int32_t texture = object.faces[i].texture;
        if (texture >= 0 && texture < textureCount) continue;
        if (++unknownTextures <= kFaceWarningsPerFile) {
            checker.Report(entry.file.fileName, nullptr, 0, true,
                           "face " + std::to_string(i) + ": texture index " +
                               std::to_string(texture) + " names no texture of the scene (" +
                               std::to_string(textureCount) + " textures); it is never drawn");
        }
    }
    if (unknownTextures > kFaceWarningsPerFile) {
        checker.Report(entry.file.fileName, nullptr, 0, true,
                       std::to_string(unknownTextures - kFaceWarningsPerFile) +
                           " more faces with a texture index that names no texture");
    }
    checker.result.vertexCount += object.vertexCount;
    checker.result.faceCount += object.faceCount;
    if (object.hidden != 0) checker.result.hiddenFaceCount += object.faceCount;
    object.FreeObject();
    CloseMappedFile(file);
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
    // Everything read before a fault is still checked.
    for (const SceneFileObject& object : contents.objects) {
        CheckObject(checker, scene, scenePath, object, contents.textureCount);
    }
    for (const SceneFileEntry& texture : contents.textures) {
        CheckTexture(checker, scene, scenePath, texture);
    }
    if (!contents.camera.fileName.empty()) CheckCamera(checker, scene, scenePath, contents.camera);
    checker.result.objectCount = contents.objectCount;
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
