// Opens the program's window the way the viewer does and reports, one line each, what a test
// on a real display checks: the window, the display mode, the context, then while it runs the
// keys that change and cursor movement since the last frame, and finally the quit message and
// the desktop's mode once the window has gone. Each frame clears to the viewer's background,
// so a screenshot shows the window.
// Usage: quorvane_window_probe windowed|fullscreen [seconds before giving up, default 60]
#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/controls.h"
#include "app/viewer.h"
#include "render/scene_render.h"

int main(int argc, char** argv) {
    ServeMessageBoxes(argc, argv);  // the refused full-screen mode asks in a box
    const Uint32 seconds = argc > 2 ? static_cast<Uint32>(std::atoi(argv[2])) : 60;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // the test reads the lines as they come
    // A reference of the probe's own keeps the display open after the window, to report the
    // mode it was left in. A loaded Xvfb now and then refuses a connection; a few tries ride
    // over that.
    int opened = -1;
    for (int attempt = 0; attempt < 5 && opened != 0; ++attempt) {
        if (attempt > 0) SDL_Delay(200);
        opened = SDL_InitSubSystem(SDL_INIT_VIDEO);
    }
    if (opened != 0) {
        std::fprintf(stderr, "no display: %s\n", SDL_GetError());
        return 1;
    }
    // The viewer's own window, without a scene: each frame clears and draws nothing.
    Viewer viewer;
    GLWindow& glWindow = *viewer.glWindow;
    glWindow.fullscreen = argc > 1 && std::strcmp(argv[1], "fullscreen") == 0;
    const bool created = OpenViewerWindow(viewer);
    std::printf("created %d fullscreen %d\n", created ? 1 : 0, glWindow.fullscreen ? 1 : 0);
    if (!created) return 0;
    SDL_Window* const window = static_cast<SDL_Window*>(glWindow.window);
    int place[4] = {};  // x, y, width, height
    SDL_GetWindowPosition(window, &place[0], &place[1]);
    SDL_GetWindowSize(window, &place[2], &place[3]);
    std::printf("window %d %d %d %d\n", place[0], place[1], place[2], place[3]);
    SDL_DisplayMode mode;
    SDL_GetCurrentDisplayMode(0, &mode);
    std::printf("display %d %d %d\n", mode.w, mode.h, SDL_BITSPERPIXEL(mode.format));
    const GLenum names[5] = {GL_DEPTH_BITS, GL_DOUBLEBUFFER, GL_RED_BITS, GL_GREEN_BITS,
                             GL_BLUE_BITS};
    GLint value[5] = {};
    for (int i = 0; i < 5; ++i) glGetIntegerv(names[i], &value[i]);
    std::printf("context depth %d double %d colour %d %d %d\n", value[0], value[1], value[2],
                value[3], value[4]);
    std::printf("input 1\n");

    Input& input = *viewer.input;
    uint8_t previous[256] = {};
    const Uint32 deadline = SDL_GetTicks() + seconds * 1000;
    Event& event = viewer.event;
    while (event.type != EventType::Quit && !SDL_TICKS_PASSED(SDL_GetTicks(), deadline)) {
        if (PollEvent(event)) {
            if (event.type != EventType::Quit) WndProc(event);
            continue;
        }
        if (active) DrawScene(*viewer.scene);
        glWindow.SwapBuffers();
        GetPointerPosition(input.cursor);
        SetPointerPosition(kCursorCentreX, kCursorCentreY);
        if (input.cursor.x != kCursorCentreX || input.cursor.y != kCursorCentreY) {
            std::printf("cursor %d %d\n", input.cursor.x - kCursorCentreX,
                        input.cursor.y - kCursorCentreY);
        }
        input.ReadKeyboard();
        for (int code = 0; code < 256; ++code) {
            if (input.keys[code] == previous[code]) continue;
            std::printf("key 0x%02x %s\n", code, input.keys[code] != 0 ? "down" : "up");
        }
        std::memcpy(previous, input.keys, sizeof previous);
        SDL_Delay(5);  // a probe, not the viewer: spare the test machine's cores
    }
    const bool quit = event.type == EventType::Quit;
    std::printf("%s %d\n", quit ? "quit" : "timeout", event.exitCode);
    StopViewer(viewer);
    SDL_GetCurrentDisplayMode(0, &mode);
    std::printf("desktop %d %d\n", mode.w, mode.h);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return quit ? 0 : 3;
}
