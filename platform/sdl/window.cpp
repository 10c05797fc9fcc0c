#include <SDL.h>

#include <cassert>  // a second window without taking the first down is a programmer error
#include <cstdlib>  // getenv
#include <string>

#include "platform/internal.h"
#include "platform/platform.h"

namespace {

SDL_Window* Native(void* window) {
    return static_cast<SDL_Window*>(window);
}

bool Report(const char* what) {
    const std::string text = std::string(what) + ": " + SDL_GetError();
    ShowMessageBox(text.c_str(), "OpenGL", BoxButtons::Ok, BoxIcon::Error);
    return false;
}

// Only a driver that shows a real window counts. Without this SDL falls back to its offscreen
// driver when no display answers (none is set, or the X server refused a connection during a
// fast run of full-screen switches), and the viewer would run on without a window. A driver named
// in SDL_VIDEODRIVER is taken as asked: the tools and tests draw offscreen on purpose.
constexpr const char* kWindowDrivers = "x11,wayland";

// An X server under load now and then refuses a connection that follows another closely, as the
// full-screen switch's does; a few tries a moment apart ride over that before giving up. With no
// display named there is nothing a moment could bring, and each try would print its complaint.
bool EnterVideo() {
    InstallQuitSignals();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");      // ours end the program in order
    SDL_SetHint(SDL_HINT_VIDEODRIVER, kWindowDrivers);  // SDL_VIDEODRIVER, when set, comes first
    const bool displayNamed =
        std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
    const int attempts = displayNamed ? 5 : 1;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0) SDL_Delay(200);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    }
    return false;
}

// Gives back the platform's video with the pointer and the screen saver as the desktop had them.
void LeaveVideo() {
    SDL_ShowCursor(SDL_ENABLE);
    SDL_EnableScreenSaver();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SwitchSdlDisplayMode(SDL_Window* window, int32_t width, int32_t height, int32_t bits) {
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display < 0) return false;
    SDL_DisplayMode wanted = {};
    wanted.format = bits <= 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    wanted.w = width;
    wanted.h = height;
    // SDL quietly falls back to the next larger mode when the display lacks this size, and makes
    // the window that large: no switch to width x height, so it counts as a refusal. A mode of the
    // right size at another depth is taken: X11 changes the size of a screen, never its depth, so
    // a 24-bit desktop offers its 640 x 480 only at 24 bits.
    SDL_DisplayMode closest;
    if (SDL_GetClosestDisplayMode(display, &wanted, &closest) == nullptr) return false;
    if (closest.w != width || closest.h != height) return false;
    if (SDL_SetWindowDisplayMode(window, &closest) != 0) return false;
    if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0) return false;
    SDL_ShowWindow(window);  // the mode is applied once the window is visible

    SDL_DisplayMode current;
    if (SDL_GetCurrentDisplayMode(display, &current) != 0) return false;
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GetWindowSize(window, &windowWidth, &windowHeight);
    return current.w == width && current.h == height && windowWidth == width &&
           windowHeight == height;
}

DisplayModeSwitch modeSwitch = nullptr;  // a test's replacement, or null

bool SwitchDisplayMode(SDL_Window* window, int32_t width, int32_t height, int32_t bits) {
    if (modeSwitch != nullptr) return modeSwitch(width, height, bits);
    return SwitchSdlDisplayMode(window, width, height, bits);
}

bool MakeWindowAndContext(GLWindow& glWindow, int32_t width, int32_t height, int32_t bits,
                          const char* title) {
    const bool sixteen = bits <= 16;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, sixteen ? 5 : 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, sixteen ? 6 : 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, sixteen ? 5 : 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_Window* const window =
        SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    glWindow.window = window;
    if (window == nullptr) return Report("The window could not be created");
    glWindow.renderingContext = SDL_GL_CreateContext(window);  // and makes it current
    if (glWindow.renderingContext == nullptr) return Report("No OpenGL context for the window");
    // The controls move by a fixed step per frame, so frames are paced by vertical sync; a
    // driver without it (Xvfb) refuses, and the loop then runs as fast as it can.
    SDL_GL_SetSwapInterval(1);
    return true;
}

void TakeDownWindowAndContext(GLWindow& glWindow) {
    SDL_Window* const window = Native(glWindow.window);
    if (window != nullptr && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0) {
        SDL_SetWindowFullscreen(window, 0);  // back to the desktop's mode
    }
    if (glWindow.renderingContext != nullptr) {
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(glWindow.renderingContext);
        glWindow.renderingContext = nullptr;
    }
    if (window != nullptr) SDL_DestroyWindow(window);
    glWindow.window = nullptr;
}

}  // namespace

GLWindow::GLWindow() : renderingContext(nullptr), window(nullptr), fullscreen(false) {}

bool GLWindow::CreateWindowAndContext(int32_t width, int32_t height, int32_t bits,
                                      const char* title) {
    assert(window == nullptr && "DestroyWindowAndContext must come first");
    // A close request must reach WndProc, which decides what it means, rather than SDL turning it
    // into a quit of its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (!EnterVideo()) {
        return Report(std::getenv("SDL_VIDEODRIVER") == nullptr
                          ? "No display could be opened (neither X11 nor Wayland answered; is "
                            "DISPLAY or WAYLAND_DISPLAY set?)"
                          : "The display could not be opened");
    }

    bool made = MakeWindowAndContext(*this, width, height, bits, title);
    if (made && fullscreen && !SwitchDisplayMode(Native(window), width, height, bits)) {
        TakeDownWindowAndContext(*this);
        if (ShowMessageBox("Fullscreen Mode Not Supported, Use Windowed Mode Instead?", "OpenGL",
                           BoxButtons::YesNo, BoxIcon::Warning) != BoxAnswer::Yes) {
            ShowMessageBox("Application stopped!!!", "ERROR", BoxButtons::Ok, BoxIcon::Error);
            LeaveVideo();
            return false;
        }
        fullscreen = false;
        made = MakeWindowAndContext(*this, width, height, bits, title);
    }
    if (!made) {
        TakeDownWindowAndContext(*this);
        LeaveVideo();
        return false;
    }
    SDL_Window* const shown = Native(window);
    SDL_ShowWindow(shown);
    SDL_RaiseWindow(shown);
    SDL_SetWindowInputFocus(shown);
    SDL_ShowCursor(SDL_DISABLE);
    SDL_DisableScreenSaver();
    return true;
}

void GLWindow::SwapBuffers() {
    if (window != nullptr) SDL_GL_SwapWindow(Native(window));
}

void GLWindow::DestroyWindowAndContext() {
    if (window == nullptr) return;
    TakeDownWindowAndContext(*this);
    LeaveVideo();
}

void GLWindow::ToggleFullscreen() {
    fullscreen = !fullscreen;
}

bool HasCurrentGLContext() {
    return SDL_GL_GetCurrentContext() != nullptr;
}

DisplayModeSwitch SetDisplayModeSwitch(DisplayModeSwitch change) {
    const DisplayModeSwitch previous = modeSwitch;
    modeSwitch = change;
    return previous;
}
