#include "bench/lib/offscreen_gl.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>  // setenv

bool OpenOffscreenGL(OffscreenGL& gl, int width, int height) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "no video: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    gl.window =
        SDL_CreateWindow("bench", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    gl.context = gl.window != nullptr ? SDL_GL_CreateContext(gl.window) : nullptr;
    if (gl.context == nullptr) {
        std::fprintf(stderr, "no GL context: %s\n", SDL_GetError());
        CloseOffscreenGL(gl);
        return false;
    }
    return true;
}

void CloseOffscreenGL(OffscreenGL& gl) {
    if (gl.context != nullptr) SDL_GL_DeleteContext(gl.context);
    if (gl.window != nullptr) SDL_DestroyWindow(gl.window);
    gl = OffscreenGL();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
