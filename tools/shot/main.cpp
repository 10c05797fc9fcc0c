// quorvane-shot [SCENE] [OUT.png|OUT.tga] [--size WxH]: draws one frame of a scene from its
// camera file's viewpoint, with the viewer's own start-up, GL state and fog, on a context that
// needs no display (SDL's offscreen driver unless SDL_VIDEODRIVER names another), and writes it
// as a picture. Defaults: data/demo.scn, 640x480 (the viewer's window), and a picture file of
// its own in $TMPDIR (or /tmp), named on standard output: the working directory is where scenes
// are run from, often a checkout, which a picture nobody named should not clutter.
// Exit status: 0 when the picture was written, 1 when no picture could be made (the scene was
// refused, no GL context, the file could not be written; a message on standard error says why),
// 2 for a usage error.
#include <GL/gl.h>   // glReadPixels
#include <unistd.h>  // close of mkstemps' descriptor

#include <cerrno>
#include <cstdio>
#include <cstdlib>  // setenv, strtol
#include <cstring>  // strerror
#include <string>

#include "app/process_tuning.h"
#include "app/viewer.h"
#include "render/scene_render.h"
#include "render/tga.h"  // EncodeTga
#include "tools/image/image.h"
#include "tools/image/png_file.h"
#include "tools/version.h"

namespace {

constexpr int32_t kMaxSide = 4096;

struct ShotRequest {
    std::string scene;
    std::string output;
    int32_t width;
    int32_t height;

    // The viewer's own scene and window size; no picture named.
    ShotRequest()
        : scene(ViewerSetup().sceneFile),
          width(ViewerSetup().width),
          height(ViewerSetup().height) {}
};

int Usage(FILE* to, int status) {
    std::fprintf(to,
                 "usage: quorvane-shot [SCENE] [OUT.png|OUT.tga] [--size WxH]\n"
                 "       quorvane-shot --help | --version\n"
                 "Draws the scene (default data/demo.scn) from its camera as the viewer's first\n"
                 "frame and writes the picture (default: a new file SCENE-XXXXXX.png in $TMPDIR\n"
                 "or /tmp, named on standard output; 640x480). Sides from 1 to %d pixels.\n",
                 kMaxSide);
    return status;
}

bool EndsWith(const std::string& text, const char* tail) {
    const size_t length = std::strlen(tail);
    if (text.size() < length) return false;
    for (size_t i = 0; i < length; ++i) {
        const char c = text[text.size() - length + i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != tail[i]) return false;
    }
    return true;
}

bool ParseSide(const char* from, char** end, int32_t& side) {
    if (*from < '0' || *from > '9') return false;
    const long value = std::strtol(from, end, 10);
    if (value < 1 || value > kMaxSide) return false;
    side = static_cast<int32_t>(value);
    return true;
}

// "WxH" with both sides within 1 to kMaxSide and nothing else.
bool ParseSize(const char* text, ShotRequest& request) {
    char* end = nullptr;
    if (!ParseSide(text, &end, request.width) || (*end != 'x' && *end != 'X')) return false;
    return ParseSide(end + 1, &end, request.height) && *end == '\0';
}

// 0 when the arguments make a request; -1 after the help text or the version (exit 0);
// otherwise the exit status, after saying why.
int ParseArguments(int argc, char** argv, ShotRequest& request) {
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-h" || argument == "--help") return Usage(stdout, -1);
        if (argument == "--version") {
            PrintVersion("quorvane-shot");
            return -1;
        }
        if (argument == "--size") {
            if (i + 1 == argc || !ParseSize(argv[i + 1], request)) {
                std::fprintf(stderr, "quorvane-shot: --size wants WxH, e.g. 640x480\n");
                return Usage(stderr, 2);
            }
            ++i;
        } else if (argument.empty() || argument[0] == '-' || positional == 2) {
            std::fprintf(stderr, "quorvane-shot: unexpected argument '%s'\n", argv[i]);
            return Usage(stderr, 2);
        } else {
            (positional++ == 0 ? request.scene : request.output) = argument;
        }
    }
    if (!request.output.empty() && !EndsWith(request.output, ".png") &&
        !EndsWith(request.output, ".tga")) {
        std::fprintf(stderr, "quorvane-shot: the picture's name must end in .png or .tga\n");
        return Usage(stderr, 2);
    }
    return 0;
}

// The viewer's own start-up and first frame; the picture as GL holds it.
bool Render(const ShotRequest& request, Image& picture) {
    ViewerSetup setup;
    setup.width = request.width;
    setup.height = request.height;
    setup.sceneFile = request.scene.c_str();
    Viewer viewer(setup);
    if (!OpenViewerWindow(viewer)) return false;
    if (!LoadViewerScene(viewer)) return false;  // it said why
    DrawScene(*viewer.scene);
    picture = MakeImage(request.width, request.height, false);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, request.width, request.height, GL_RGBA, GL_UNSIGNED_BYTE,
                 picture.rgba.data());
    StopViewer(viewer);
    return true;
}

// A new file for a picture nobody named, "demo-k3J9aQ.png" for data/demo.scn: created here, so
// that no other file is ever written over.
bool MakeDefaultOutput(ShotRequest& request) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string dir = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    std::string base = request.scene.substr(request.scene.find_last_of('/') + 1);
    base = base.substr(0, base.find_last_of('.'));
    std::string path = dir + "/" + (base.empty() ? "quorvane-shot" : base) + "-XXXXXX.png";
    const int fd = mkstemps(path.data(), 4);
    if (fd < 0) {
        std::fprintf(stderr, "quorvane-shot: cannot create a picture in %s: %s\n", dir.c_str(),
                     std::strerror(errno));
        return false;
    }
    close(fd);
    request.output = path;
    return true;
}

bool Write(const Image& picture, const std::string& path) {
    std::string error;
    if (EndsWith(path, ".png")) {
        if (WritePng(picture, path, error)) return true;
    } else {
        const std::string tga =
            EncodeTga(picture.width, picture.height, picture.alpha, picture.rgba.data());
        FILE* file = std::fopen(path.c_str(), "wb");
        if (file != nullptr) {
            const bool written = std::fwrite(tga.data(), 1, tga.size(), file) == tga.size();
            if (std::fclose(file) == 0 && written) return true;
        }
        error = std::strerror(errno);
    }
    std::fprintf(stderr, "quorvane-shot: %s: %s\n", path.c_str(), error.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    TuneProcess();
    ShotRequest request;
    const int status = ParseArguments(argc, argv, request);
    if (status != 0) return status < 0 ? 0 : status;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    // No one watches a headless run: with a driver that can show boxes (SDL_VIDEODRIVER=x11) a
    // box would wait for a click that never comes, and SDL keeps even SIGTERM from ending it.
    SetMessageBoxHandler(PrintMessageBox);
    Image picture;
    if (!Render(request, picture)) return 1;
    if (!request.output.empty()) return Write(picture, request.output) ? 0 : 1;
    if (!MakeDefaultOutput(request)) return 1;
    if (!Write(picture, request.output)) {
        std::remove(request.output.c_str());
        return 1;
    }
    std::printf("quorvane-shot: wrote %s\n", request.output.c_str());
    return 0;
}
