// Opens the program's window the way the viewer does and reports, one line each, what a test
// on a real display checks: the window, the display mode, the context, then while it runs the
// keys that change, cursor movement since the last frame, `active`, and finally the quit
// message. Each frame clears to the viewer's background, so a screenshot shows the window.
// Usage: quorvane_window_probe windowed|fullscreen [seconds before giving up, default 60]
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/cursor.h"
#include "platform/gl_window.h"
#include "platform/input.h"
#include "platform/message_queue.h"
#include "platform/window_procedure.h"
#include "scene/scene.h"

namespace {

void ReportWindow(const GLWindow& glWindow) {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    SDL_GetWindowPosition(glWindow.window, &x, &y);
    SDL_GetWindowSize(glWindow.window, &width, &height);
    std::printf("window %d %d %d %d\n", x, y, width, height);
    SDL_DisplayMode mode;
    SDL_GetCurrentDisplayMode(0, &mode);
    std::printf("display %d %d %d\n", mode.w, mode.h, SDL_BITSPERPIXEL(mode.format));
    GLint depth = 0;
    GLint red = 0;
    GLint green = 0;
    GLint blue = 0;
    GLboolean doubleBuffered = GL_FALSE;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_RED_BITS, &red);
    glGetIntegerv(GL_GREEN_BITS, &green);
    glGetIntegerv(GL_BLUE_BITS, &blue);
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    std::printf("context depth %d double %d colour %d %d %d\n", depth, doubleBuffered, red, green,
                blue);
}

// Runs the viewer's loop without a scene; returns the quit message's code, or -1 on timeout.
int RunLoop(GLWindow& glWindow, Input& input, Uint32 seconds) {
    Scene scene;  // not compiled: each frame clears and draws nothing
    uint8_t previous[256] = {};
    bool wasActive = active;
    const Uint32 deadline = SDL_GetTicks() + seconds * 1000;
    SetCursorPos(320, 240);
    while (!SDL_TICKS_PASSED(SDL_GetTicks(), deadline)) {
        Message message;
        if (PeekMessage(message)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            DispatchMessage(message);
            continue;
        }
        if (active != wasActive) std::printf("active %d\n", active ? 1 : 0);
        wasActive = active;
        if (active) scene.DrawScene();
        glWindow.SwapBuffers();
        GetCursorPos(input.cursor);
        SetCursorPos(320, 240);
        if (input.cursor.x != 320 || input.cursor.y != 240) {
            std::printf("cursor %d %d\n", input.cursor.x - 320, input.cursor.y - 240);
        }
        input.GetDeviceState();
        for (int code = 0; code < 256; ++code) {
            if (input.keys[code] == previous[code]) continue;
            std::printf("key 0x%02x %s\n", code, input.keys[code] != 0 ? "down" : "up");
        }
        std::memcpy(previous, input.keys, sizeof previous);
        SDL_Delay(5);  // a probe, not the viewer: spare the test machine's cores
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 ||
        (std::strcmp(argv[1], "windowed") != 0 && std::strcmp(argv[1], "fullscreen") != 0)) {
        std::fprintf(stderr, "usage: %s windowed|fullscreen [seconds]\n", argv[0]);
        return 2;
    }
    const Uint32 seconds = argc > 2 ? static_cast<Uint32>(std::atoi(argv[2])) : 60;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // the test reads the lines as they come
    // A reference of the probe's own keeps the display open after the window, to report the
    // mode it was left in.
    // A loaded Xvfb now and then refuses a connection; a few tries ride over that.
    int opened = -1;
    for (int attempt = 0; attempt < 5 && opened != 0; ++attempt) {
        if (attempt > 0) SDL_Delay(200);
        opened = SDL_InitSubSystem(SDL_INIT_VIDEO);
    }
    if (opened != 0) {
        std::fprintf(stderr, "no display: %s\n", SDL_GetError());
        return 1;
    }
    GLWindow glWindow;
    glWindow.fullscreen = std::strcmp(argv[1], "fullscreen") == 0;
    glWindow.windowProcedure = WndProc;
    const bool created = glWindow.CreateWindowAndContext(640, 480, 16, "Quorvane");
    std::printf("created %d fullscreen %d\n", created ? 1 : 0, glWindow.fullscreen ? 1 : 0);
    if (!created) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return 0;
    }
    glWindow.SetupRenderState(640, 480);
    ReportWindow(glWindow);
    Input input;
    std::printf("input %d\n", input.InitInput(glWindow.window));
    const int code = RunLoop(glWindow, input, seconds);
    if (code < 0) std::printf("timeout\n");
    if (code >= 0) std::printf("quit %d\n", code);
    input.ShutdownInput();
    glWindow.DestroyWindowAndContext();
    SDL_DisplayMode mode;
    SDL_GetCurrentDisplayMode(0, &mode);
    std::printf("desktop %d %d\n", mode.w, mode.h);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return code < 0 ? 3 : 0;
}
