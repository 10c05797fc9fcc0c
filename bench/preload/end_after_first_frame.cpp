// Preloaded (LD_PRELOAD) into the real viewer by the start-up benchmarks: ends the run right after
// its first frame has been shown, as a user's quit signal would, so that a run timed from outside
// covers exactly one frame and the orderly end; and notes when the run reached each landmark, so
// that the time measured from outside can be split into parts.
//
// QUORVANE_FRAME_LOG names the file the landmarks are appended to, one "landmark\tnanoseconds"
// line each, on CLOCK_MONOTONIC (one clock across processes):
//   loaded       this library's constructor: the program and its libraries mapped, before main
//   context      SDL_GL_CreateContext returned: window, X connection and GL context made
//   first frame  the first SDL_GL_SwapWindow returned: under X11 on Mesa's software renderer the
//                swap copies the finished frame to the window, so the frame is drawn by then
//   teardown     the first SDL_GL_DeleteContext called: the quit handled and the report written
//   exit         this library's destructor: main has returned, exit handlers are running
// Only a process that made a GL context writes, so a command that runs other programs on the way
// (a shell, the importer) leaves one set of lines. Without QUORVANE_FRAME_LOG nothing is written
// and the run still ends after its first frame.
#include <dlfcn.h>   // dlsym(RTLD_NEXT): the real SDL functions
#include <fcntl.h>   // open
#include <signal.h>  // raise(SIGTERM): the viewer's own orderly end
#include <time.h>    // clock_gettime
#include <unistd.h>  // write, close

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kLandmarks = 5;
const char* const kNames[kLandmarks] = {"loaded", "context", "first frame", "teardown", "exit"};
long long reached[kLandmarks] = {};  // nanoseconds, 0 until reached
int written = 0;                     // landmarks already in the log, in order

long long NowNs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Appends the landmarks reached since the last call; nothing before a context exists.
void WriteLandmarks() {
    const char* path = std::getenv("QUORVANE_FRAME_LOG");
    if (path == nullptr || reached[1] == 0) return;
    const int log = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (log < 0) return;
    for (; written < kLandmarks && reached[written] != 0; ++written) {
        char line[64];
        const int length =
            std::snprintf(line, sizeof line, "%s\t%lld\n", kNames[written], reached[written]);
        if (write(log, line, length) != length) break;
    }
    close(log);
}

void Reach(int landmark) {
    if (reached[landmark] == 0) reached[landmark] = NowNs();
}

template <typename Function>
Function Real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

__attribute__((constructor)) void OnLoad() {
    Reach(0);
}

__attribute__((destructor)) void OnExit() {
    Reach(4);
    WriteLandmarks();
}

}  // namespace

// SDL's own signatures, with its handles as opaque pointers: no SDL header is needed.
extern "C" void* SDL_GL_CreateContext(void* window) {
    static const auto real = Real<void* (*)(void*)>("SDL_GL_CreateContext");
    void* context = real(window);
    if (context != nullptr) Reach(1);
    return context;
}

extern "C" void SDL_GL_SwapWindow(void* window) {
    static const auto real = Real<void (*)(void*)>("SDL_GL_SwapWindow");
    real(window);
    if (reached[1] == 0 || reached[2] != 0) return;
    Reach(2);
    WriteLandmarks();
    raise(SIGTERM);
}

extern "C" void SDL_GL_DeleteContext(void* context) {
    static const auto real = Real<void (*)(void*)>("SDL_GL_DeleteContext");
    if (reached[2] != 0) Reach(3);
    real(context);
}
