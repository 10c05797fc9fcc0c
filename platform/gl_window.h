// The program's one window with its OpenGL context, in a window or full screen.
//
// Lifecycle: constructor; store the window procedure; CreateWindowAndContext; SwapBuffers once
// per frame; DestroyWindowAndContext. The full-screen switch is DestroyWindowAndContext,
// ToggleFullscreen, CreateWindowAndContext. The record is never copied.
#pragma once

#include <cstdint>

#include "platform/message_queue.h"

struct SDL_Window;

struct GLWindow {
    void* renderingContext;  // the GL context, current while the window exists; else null
    SDL_Window* window;      // null while there is no window
    // Receives the window's messages; the caller stores it before each CreateWindowAndContext.
    WindowProcedure windowProcedure;
    bool fullscreen;  // the mode of the next CreateWindowAndContext

    GLWindow();  // no window, windowed

    // Opens a window titled `title` at (0, 0) whose drawing area is `width` x `height`, with a
    // current double-buffered RGBA context of about `bits` colour bits (16: 5/6/5) and a depth
    // buffer of 16 bits or more, vertical sync where offered; hides the cursor and keeps the
    // screen saver off while the window exists. In full screen the display switches to a
    // `width` x `height` mode first. When the display refuses, the box "Fullscreen Mode Not
    // Supported, Use Windowed Mode Instead?" asks; Yes: `fullscreen` becomes false and a
    // window is made; No: the box "Application stopped!!!" and false, with no window. False as
    // well, after a box saying why, when the platform cannot make the window or the context.
    // After false the record is as before the call.
    bool CreateWindowAndContext(int32_t width, int32_t height, int32_t bits, const char* title);
    // Shows the frame drawn since the last swap.
    void SwapBuffers();
    // Restores the desktop's display mode, deletes the context, closes the window and shows the
    // cursor again. `fullscreen` keeps its value. Harmless when there is no window.
    void DestroyWindowAndContext();
    // Flips `fullscreen`; takes effect at the next CreateWindowAndContext.
    void ToggleFullscreen();

    // GL state of the current context (render/render_state.cpp); they touch no field.
    // Viewport, a 45-degree perspective of width / height from 0.1 to 100, and the fixed
    // state of every frame; leaves the model-view matrix current.
    void SetupRenderState(int32_t width, int32_t height);
    void EnableBlending();   // blending on, depth writes off
    void DisableBlending();  // blending off, depth writes on
};
