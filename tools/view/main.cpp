// quorvane-view [MODEL|SCENE_FOLDER] [--up AXIS] [--no-shading]: one command to look at a model
// or a scene. A model file is imported once into a cache folder (see model_cache.h) and the
// viewer started there; a scene folder (one holding data/demo.scn) is opened as it is; with
// neither, the scene of the current directory, or the demo when the current directory holds
// none. The viewer reads data/demo.scn from where it is started, so each is started from its
// folder.
//
// The demo is the one installed beside this program (../share/quorvane/demo from its folder,
// wherever the whole was installed), or in the build tree the checkout's own. The viewer writes
// its report into the folder it runs in, and an installed demo is neither the user's to write
// nor, for root, a place to leave files the package does not own: the demo runs from a copy in
// the cache, made on first use and again when the demo's files change.
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
                 "with neither, on the scene of the current directory, or on the demo when\n"
                 "there is none. --up and --no-shading are the importer's (see\n"
                 "quorvane-import --help).\n");
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

// The demo's folder for a program in `own`: the checkout's in the build tree, else the
// installed one beside the program's folder (the build says where, relative to it).
std::string DemoFolder(const std::string& own) {
    std::error_code failure;
    if (fs::equivalent(own, QUORVANE_BUILD_DIR, failure)) return QUORVANE_CHECKOUT_DIR;
    return (fs::path(own) / QUORVANE_INSTALLED_DEMO).lexically_normal().string();
}

// Starts the viewer on a copy of the demo, made when there is none or the demo changed; on the
// demo itself when no copy can be made (the viewer then writes no report where it may not).
int ShowDemo(const std::string& own, const std::string& viewer) {
    const std::string demo = DemoFolder(own);
    if (!HoldsScene(demo)) {
        return Fail("no data/demo.scn here and no demo in " + demo +
                    "; name a model or a scene folder");
    }
    CachedScene copy;
    std::string error;
    if (LocateDemoCopy(demo, copy, error) &&
        (IsCurrent(copy) || CopyDemoIntoCache(demo, copy, error) == 0)) {
        return StartViewerIn(copy.folder, viewer);
    }
    std::fprintf(stderr, "quorvane-view: %s; showing the demo in %s itself\n", error.c_str(),
                 demo.c_str());
    return StartViewerIn(demo, viewer);
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
        return HoldsScene(".") ? StartViewerIn(".", viewer) : ShowDemo(own, viewer);
    }
    if (fs::is_directory(request.target, failure)) {
        if (!HoldsScene(request.target)) {
            return Fail(request.target + ": not a scene folder (it holds no data/demo.scn)");
        }
        if (!request.options.empty()) return Fail("--up and --no-shading are for model files");
        return StartViewerIn(request.target, viewer);
    }
    CachedScene cached;
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
