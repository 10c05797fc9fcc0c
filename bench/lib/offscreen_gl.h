// A GL context with no display (SDL's offscreen driver), for the benchmarks that need GL.
#pragma once

struct SDL_Window;

struct OffscreenGL {
    SDL_Window* window = nullptr;
    void* context = nullptr;
};

// Opens a width x height double-buffered context with a 16-bit depth buffer and makes it
// current. False (with SDL's reason on stderr) when no context can be had.
bool OpenOffscreenGL(OffscreenGL& gl, int width, int height);
void CloseOffscreenGL(OffscreenGL& gl);
