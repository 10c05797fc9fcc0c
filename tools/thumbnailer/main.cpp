// quorvane-thumbnailer [-s SIZE] [--time-limit SECONDS] INPUT OUTPUT: the thumbnail of a model
// file, as file managers ask for one (the freedesktop thumbnailer interface): INPUT a path or a
// file:// URI, OUTPUT a PNG whose larger side is SIZE pixels. A file manager runs it on every
// model of a folder it opens, files nobody chose to open: the model is read by the importer's
// confined reader, which here can open nothing outside the model's folder, and the program itself
// writes nowhere but OUTPUT, needs no display and ends within its time limit. The built model goes
// to the renderer in memory: no scene folder is written.
// Exit status: 0 with OUTPUT written whole, 1 with nothing written and one line on standard error
// saying why, 2 for a usage error.
#include <algorithm>  // max, min
#include <cstdio>
#include <cstdlib>  // setenv, strtod, strtol
#include <string>

#include "app/process_tuning.h"
#include "app/viewer.h"
#include "model/confine/file_access.h"
#include "model/import/import_model.h"
#include "model/show/show_model.h"
#include "render/scene_render.h"  // DestroyScene
#include "tools/image/png_file.h"
#include "tools/thumbnailer/input.h"
#include "tools/thumbnailer/output.h"
#include "tools/thumbnailer/thumbnail.h"
#include "tools/version.h"

namespace {

constexpr int32_t kMinSize = 16;
constexpr int32_t kMaxSize = 2048;
// A thumbnail shows no more detail than this many faces: above it the model is reduced, which
// keeps a large model's thumbnail well within the time limit.
constexpr size_t kMaxFaces = 200000;

struct ThumbnailRequest {
    std::string input;
    std::string output;
    int32_t size = 256;
    double timeLimitSeconds = 20;  // under GNOME's 30 s
};

// Messages meant for a box: there is no one to click it, and standard error gets one line.
std::string boxMessage;
BoxAnswer KeepBoxMessage(const char* text, const char*, BoxButtons, BoxIcon) {
    if (boxMessage.empty()) boxMessage = text;
    return BoxAnswer::Ok;
}

int Usage(FILE* to, int status) {
    std::fprintf(to,
                 "usage: quorvane-thumbnailer [-s SIZE] [--time-limit SECONDS] INPUT OUTPUT\n"
                 "       quorvane-thumbnailer --help | --version\n"
                 "Draws the model file INPUT (a path or a file:// URI) as the PNG OUTPUT, its\n"
                 "larger side SIZE pixels, for file managers' thumbnails.\n"
                 "  -s, --size SIZE       the picture's larger side, %d to %d (default 256)\n"
                 "  --time-limit SECONDS  give up after this long (default 20)\n",
                 kMinSize, kMaxSize);
    return status;
}

int UsageError(const std::string& why) {
    std::fprintf(stderr, "quorvane-thumbnailer: %s\n", why.c_str());
    return Usage(stderr, 2);
}

// 0 when the arguments make a request; -1 after the help text or the version (exit 0);
// otherwise the exit status, after saying why.
int ParseArguments(int argc, char** argv, ThumbnailRequest& request) {
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        char* end = nullptr;
        if (argument == "-h" || argument == "--help") return Usage(stdout, -1);
        if (argument == "--version") {
            PrintVersion("quorvane-thumbnailer");
            return -1;
        }
        if (argument == "-s" || argument == "--size") {
            const long size = value != nullptr ? std::strtol(value, &end, 10) : 0;
            if (value == nullptr || end == value || *end != '\0' || size < kMinSize ||
                size > kMaxSize) {
                return UsageError(argument + " wants a number of pixels from " +
                                  std::to_string(kMinSize) + " to " + std::to_string(kMaxSize));
            }
            request.size = static_cast<int32_t>(size);
            ++i;
        } else if (argument == "--time-limit") {
            const double seconds = value != nullptr ? std::strtod(value, &end) : 0.0;
            if (value == nullptr || end == value || *end != '\0' || !(seconds > 0.0) ||
                seconds > 3600.0) {
                return UsageError("--time-limit wants a number of seconds, at most an hour");
            }
            request.timeLimitSeconds = seconds;
            ++i;
        } else if ((argument.size() > 1 && argument[0] == '-') || positional == 2) {
            return UsageError("unexpected argument '" + argument + "'");
        } else {
            (positional++ == 0 ? request.input : request.output) = argument;
        }
    }
    if (positional < 2) return UsageError("INPUT and OUTPUT are both needed");
    return 0;
}

int Refuse(const std::string& input, const std::string& why) {
    std::fprintf(stderr, "quorvane-thumbnailer: %s: %s\n", input.c_str(), why.c_str());
    return 1;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The model read and built as quorvane-import makes it, reduced where it has more faces than a
// thumbnail shows, its reader confined to the model's folder.
bool Import(const ThumbnailRequest& request, const std::string& path, ImportedModel& imported,
            std::string& error) {
    ImportOptions options;
    // The run's own limit ends the reader too (it dies with the program): one limit, one message.
    options.timeLimitSeconds = SecondsLeft() + 1.0;
    options.confinement.onlyFolder = FolderOf(path);
    options.confinement.quiet = true;  // one line says why, however the reader ended
    options.maxFaces = kMaxFaces;
    options.reductionCells = request.size;
    // As much picture as the thumbnail shows: it is drawn up to four times larger and averaged.
    options.build.largestTexture = std::min(kMaxTextureSide, std::max(64, 2 * request.size));
    return ImportModel(path, options, imported, error);
}

// Drawn on a context of its own that needs no display; what a box would say goes to `error`.
bool Draw(ImportedModel& imported, int32_t size, Image& picture, std::string& error) {
    ThumbnailView view;
    if (!FitThumbnail(imported.model.meshes, imported.framing.camera, size, view)) {
        error = "its faces have no size that can be shown";
        return false;
    }
    ViewerSetup setup;
    setup.width = view.width * view.samples;
    setup.height = view.height * view.samples;
    setup.colourBits = 32;
    Viewer viewer(setup);
    if (!OpenViewerWindow(viewer)) {
        error = "no OpenGL context could be made (" + boxMessage + ")";
        return false;
    }
    const bool shown = ShowModel(imported.model, imported.framing.camera, *viewer.scene);
    if (shown) picture = DrawThumbnail(*viewer.scene, view);
    StopViewer(viewer);
    if (!shown) error = "there is not enough memory to draw it";
    return shown;
}

// From here on the program can write only OUTPUT's folder and read nothing, where the kernel
// allows: what a hostile model might make of the code above cannot reach the user's files.
bool WriteOnlyOutput(const std::string& output, std::string& error) {
    return RestrictFileAccess({{FolderOf(output), false, true}}, error) != FileAccess::Failed;
}

int Run(const ThumbnailRequest& request) {
    std::string path, error;
    if (!InputPath(request.input, path, error) || !IsModelFile(path, error)) {
        return Refuse(request.input, error);
    }
    GuardRun("quorvane-thumbnailer: " + request.input, request.timeLimitSeconds);
    ImportedModel imported;
    if (!Import(request, path, imported, error)) return Refuse(request.input, error);
    Image picture;
    if (!Draw(imported, request.size, picture, error)) return Refuse(request.input, error);
    std::string temporary;
    if (!WriteOnlyOutput(request.output, error) || !BeginOutput(request.output, temporary, error)) {
        return Refuse(request.input, error);
    }
    if (!WritePng(picture, temporary, error)) {
        AbandonOutput(temporary);
        return Refuse(request.input, "cannot write the picture (" + error + ")");
    }
    if (!FinishOutput(temporary, request.output, error)) return Refuse(request.input, error);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    TuneProcess();  // before assimp or Mesa allocates; the reader's fork keeps it
    ThumbnailRequest request;
    const int status = ParseArguments(argc, argv, request);
    if (status != 0) return status < 0 ? 0 : status;
    // No display, whatever the session has: file managers run thumbnailers in sandboxes without
    // one. Mesa's shader cache would write into the user's home.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    SetMessageBoxHandler(KeepBoxMessage);
    return Run(request);
}
