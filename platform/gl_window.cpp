#include "platform/gl_window.h"

#include <SDL.h>

#include <cassert>  // a second window without taking the first down is a programmer error
#include <string>

#include "platform/display_mode.h"
#include "platform/message_box.h"

namespace {

bool Report(const char* what) {
    const std::string text = std::string(what) + ": " + SDL_GetError();
    ShowMessageBox(text.c_str(), "OpenGL", MB_OK | MB_ICONSTOP);
    return false;
}

// An X server under load now and then refuses a connection that follows another closely, as the
// full-screen switch's does; a few tries a moment apart ride over that before giving up.
bool EnterVideo() {
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (attempt > 0) SDL_Delay(200);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    }
    return false;
}

// Gives back the platform's video with the cursor and the screen saver as the desktop had them.
void LeaveVideo() {
    SDL_ShowCursor(SDL_ENABLE);
    SDL_EnableScreenSaver();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
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
    glWindow.window =
        SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (glWindow.window == nullptr) return Report("The window could not be created");
    glWindow.renderingContext = SDL_GL_CreateContext(glWindow.window);  // and makes it current
    if (glWindow.renderingContext == nullptr) return Report("No OpenGL context for the window");
    // The controls move by a fixed step per frame, so frames are paced by vertical sync; a
    // driver without it (Xvfb) refuses, and the loop then runs as fast as it can.
    SDL_GL_SetSwapInterval(1);
    return true;
}

void TakeDownWindowAndContext(GLWindow& glWindow) {
    if (glWindow.window != nullptr &&
        (SDL_GetWindowFlags(glWindow.window) & SDL_WINDOW_FULLSCREEN) != 0) {
        SDL_SetWindowFullscreen(glWindow.window, 0);  // back to the desktop's mode
    }
    if (glWindow.renderingContext != nullptr) {
        SDL_GL_MakeCurrent(glWindow.window, nullptr);
        SDL_GL_DeleteContext(glWindow.renderingContext);
        glWindow.renderingContext = nullptr;
    }
    if (glWindow.window != nullptr) SDL_DestroyWindow(glWindow.window);
    glWindow.window = nullptr;
}

}  // namespace

GLWindow::GLWindow()
    : renderingContext(nullptr), window(nullptr), windowProcedure(nullptr), fullscreen(false) {}

bool GLWindow::CreateWindowAndContext(int32_t width, int32_t height, int32_t bits,
                                      const char* title) {
    assert(window == nullptr && "DestroyWindowAndContext must come first");
    assert(windowProcedure != nullptr && "the window procedure is stored before creation");
    // A close request must reach the window procedure, which decides what it means, rather
    // than SDL turning it into a quit of its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (!EnterVideo()) return Report("The display could not be opened");

    bool made = MakeWindowAndContext(*this, width, height, bits, title);
    if (made && fullscreen && !SwitchDisplayMode(window, width, height, bits)) {
        TakeDownWindowAndContext(*this);
        if (ShowMessageBox("Fullscreen Mode Not Supported, Use Windowed Mode Instead?", "OpenGL",
                           MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
            ShowMessageBox("Application stopped!!!", "ERROR", MB_OK | MB_ICONSTOP);
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
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    SDL_SetWindowInputFocus(window);
    SDL_ShowCursor(SDL_DISABLE);
    SDL_DisableScreenSaver();
    SetWindowProcedure(windowProcedure);
    return true;
}

void GLWindow::SwapBuffers() {
    if (window != nullptr) SDL_GL_SwapWindow(window);
}

void GLWindow::DestroyWindowAndContext() {
    if (window == nullptr) return;
    SetWindowProcedure(nullptr);
    TakeDownWindowAndContext(*this);
    LeaveVideo();
}

void GLWindow::ToggleFullscreen() {
    fullscreen = !fullscreen;
}
