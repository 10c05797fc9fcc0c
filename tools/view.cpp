// quorvane-view [MODEL|SCENE_FOLDER] [--up AXIS] [--no-shading]: one command to look at a model
// or a scene. A model file is imported once into a cache folder (see model_cache.h) and the
// viewer started there; a scene folder (one holding data/demo.scn) is opened as it is; with
// neither, the scene of the current directory. The viewer reads data/demo.scn from where it is
// started, so each is started from its folder.
// Exit status: the viewer's; the importer's when it refused the model (1); 1 when there is
// nothing to show; 2 for a usage error.
#include <unistd.h>  // chdir, execv, readlink

#include <cerrno>
#include <cstdio>
#include <cstring>  // strerror
#include <filesystem>
#include <string>
#include <vector>

#include "tools/version.h"
#include "tools/view/model_cache.h"

namespace {

namespace fs = std::filesystem;

struct ViewRequest {
    std::string target;                // model or scene folder; empty: the current directory
    std::vector<std::string> options;  // handed to the importer as they came
};

int Usage(FILE* to, int status) {
    std::fprintf(to,
                 "usage: quorvane-view [MODEL|SCENE_FOLDER] [--up AXIS] [--no-shading]\n"
                 "       quorvane-view --help | --version\n"
                 "Opens the viewer on a model file (imported once, then kept in\n"
                 "$XDG_CACHE_HOME/quorvane/) or on a scene folder (one holding data/demo.scn);\n"
                 "with neither, on the scene of the current directory. --up and --no-shading\n"
                 "are the importer's (see quorvane-import --help).\n");
    return status;
}

int Fail(const std::string& why) {
    std::fprintf(stderr, "quorvane-view: %s\n", why.c_str());
    return 1;
}

// 0 when the arguments make a request; -1 after the help text or the version (exit 0);
// otherwise the exit status, after saying why.
int ParseArguments(int argc, char** argv, ViewRequest& request) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-h" || argument == "--help") return Usage(stdout, -1);
        if (argument == "--version") {
            PrintVersion("quorvane-view");
            return -1;
        }
        if (argument == "--no-shading") {
            request.options.push_back(argument);
        } else if (argument == "--up" && i + 1 < argc) {
            request.options.push_back(argument);
            request.options.push_back(argv[++i]);
        } else if (argument.empty() || argument[0] == '-' || !request.target.empty()) {
            std::fprintf(stderr, "quorvane-view: unexpected argument '%s'\n", argv[i]);
            return Usage(stderr, 2);
        } else {
            request.target = argument;
        }
    }
    return 0;
}

// The folder this program lies in: the viewer and the importer lie beside it.
std::string OwnFolder() {
    std::error_code failure;
    const fs::path self = fs::read_symlink("/proc/self/exe", failure);
    return failure ? std::string(".") : self.parent_path().string();
}

bool HoldsScene(const std::string& folder) {
    std::error_code failure;
    return fs::is_regular_file(fs::path(folder) / "data/demo.scn", failure);
}

// Starts the viewer in `folder`; returns only when it could not.
int StartViewerIn(const std::string& folder, const std::string& viewer) {
    if (chdir(folder.c_str()) != 0) return Fail(folder + ": " + std::strerror(errno));
    char* const argv[] = {const_cast<char*>(viewer.c_str()), nullptr};
    execv(viewer.c_str(), argv);
    return Fail("cannot start the viewer " + viewer + ": " + std::strerror(errno));
}

}  // namespace

int main(int argc, char** argv) {
    ViewRequest request;
    const int status = ParseArguments(argc, argv, request);
    if (status != 0) return status < 0 ? 0 : status;
    const std::string own = OwnFolder();
    const std::string viewer = own + "/quorvane", importer = own + "/quorvane-import";
    std::error_code failure;
    if (request.target.empty()) {
        if (HoldsScene(".")) return StartViewerIn(".", viewer);
        std::fprintf(stderr,
                     "quorvane-view: no data/demo.scn here; name a model or a scene "
                     "folder\n");
        return Usage(stderr, 2);
    }
    if (fs::is_directory(request.target, failure)) {
        if (!HoldsScene(request.target)) {
            return Fail(request.target + ": not a scene folder (it holds no data/demo.scn)");
        }
        if (!request.options.empty()) return Fail("--up and --no-shading are for model files");
        return StartViewerIn(request.target, viewer);
    }
    CachedModel cached;
    std::string error;
    if (!LocateCache(request.target, importer, request.options, cached, error)) return Fail(error);
    if (!IsCurrent(cached)) {
        const int imported =
            ImportIntoCache(request.target, importer, request.options, cached, error);
        if (imported != 0) {
            if (!error.empty()) Fail(error);
            return imported;
        }
    }
    return StartViewerIn(cached.folder, viewer);
}
