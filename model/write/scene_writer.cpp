#include "model/write/scene_writer.h"

#include <sys/stat.h>  // chmod, umask

#include <algorithm>  // max, min
#include <cerrno>
#include <cstdlib>  // mkdtemp
#include <cstring>  // strerror
#include <filesystem>
#include <fstream>
#include <vector>

#include "render/tga.h"      // EncodeTga
#include "scene/parallel.h"  // the object files made on every core

namespace {

namespace fs = std::filesystem;

// Every name is short and plain, well within the scene file's 79 characters.
std::string ObjectName(size_t index) {
    return "data/objects/mesh" + std::to_string(index) + ".obj";
}
std::string TextureName(size_t index) {
    return "data/textures/texture" + std::to_string(index) + ".tga";
}
const char* const kCameraName = "data/camera.cam";

// WriteScene's `stop` while it runs, asked before each file is written.
bool (*stopAsked)() = nullptr;

bool Stopped(std::string& error) {
    if (stopAsked == nullptr || !stopAsked()) return false;
    error = "interrupted";
    return true;
}

bool WriteFile(const fs::path& root, const std::string& name, const std::string& contents,
               std::string& error) {
    if (Stopped(error)) return false;
    std::ofstream out(root / name, std::ios::binary | std::ios::trunc);
    out << contents;
    out.close();
    if (!out) error = "cannot write " + name + " (" + std::strerror(errno) + ")";
    return static_cast<bool>(out);
}

bool WriteAll(const Model& model, const CameraStart& camera, const fs::path& root,
              std::string& error) {
    std::error_code failure;
    fs::create_directories(root / "data/objects", failure);
    if (!failure) fs::create_directories(root / "data/textures", failure);
    if (failure) {
        error = "cannot create data/ (" + failure.message() + ")";
        return false;
    }
    // Writing the numbers is most of the work: the object files are made on every core, then
    // written one after the other.
    std::vector<std::string> objects(model.meshes.size());
    size_t faces = 0;
    for (const Mesh& mesh : model.meshes) faces += mesh.faces.size();
    const int parts = std::min(WorkersFor(faces * 64), static_cast<int>(objects.size()));
    RunInParallel(std::max(parts, 1), [&](int part) {
        for (size_t i = static_cast<size_t>(part); i < objects.size(); i += std::max(parts, 1)) {
            objects[i] = EncodeObject(model.meshes[i]);
        }
    });
    std::vector<Placement> placements;
    for (size_t i = 0; i < model.meshes.size(); ++i) {
        placements.push_back(Placement{ObjectName(i), 0.0, 0.0, 0.0, 1.0});
        if (!WriteFile(root, ObjectName(i), objects[i], error)) return false;
        std::string().swap(objects[i]);  // written: its memory goes back at once
    }
    std::vector<std::string> textures;
    for (size_t i = 0; i < model.textures.size(); ++i) {
        textures.push_back(TextureName(i));
        if (!WriteFile(
                root, TextureName(i),
                EncodeTga(model.textures[i].image.width, model.textures[i].image.height,
                          model.textures[i].image.alpha, model.textures[i].image.rgba.data()),
                error)) {
            return false;
        }
    }
    return WriteFile(root, kCameraName, EncodeCamera(camera), error) &&
           WriteFile(root, "data/demo.scn", EncodeScene(placements, textures, kCameraName), error);
}

}  // namespace

bool WriteScene(const Model& model, const CameraStart& camera, const std::string& directory,
                std::string& error, bool (*stop)()) {
    fs::path target = fs::path(directory).lexically_normal();
    if (!target.has_filename()) target = target.parent_path();  // "out/" names "out"
    std::error_code failure;
    if (fs::symlink_status(target, failure).type() != fs::file_type::not_found) {
        error = directory + " already exists; name another directory or remove it";
        return false;
    }
    const fs::path parent = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string partial =
        (parent / ("." + target.filename().string() + ".partial-XXXXXX")).string();
    fs::create_directories(parent, failure);  // as mkdir -p would; mkdtemp says when it failed
    if (mkdtemp(partial.data()) == nullptr) {
        error =
            "cannot create a directory in " + parent.string() + " (" + std::strerror(errno) + ")";
        return false;
    }
    // mkdtemp makes the directory private; the scene should be as readable as any new directory.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(partial.c_str(), 0777 & ~mask);
    stopAsked = stop;
    const bool written = WriteAll(model, camera, partial, error) && !Stopped(error);
    stopAsked = nullptr;
    if (written) {
        if (std::rename(partial.c_str(), target.c_str()) == 0) return true;
        error = "cannot create " + directory + " (" + std::strerror(errno) + ")";
    }
    fs::remove_all(partial, failure);
    return false;
}
