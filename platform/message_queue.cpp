#include "platform/message_queue.h"

#include <SDL.h>

namespace {

WindowProcedure windowProcedure = nullptr;
bool quitPosted = false;
int32_t quitCode = 0;

bool IsMinimised(uint32_t windowId) {
    SDL_Window* const window = SDL_GetWindowFromID(windowId);
    return window != nullptr && (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0;
}

Message Activation(uint32_t state, bool minimised) {
    Message message;
    message.message = WM_ACTIVATE;
    message.wParam = MakeWParam(state, minimised ? 1 : 0);
    return message;
}

Message Translate(const SDL_Event& event) {
    Message message;
    if (event.type == SDL_QUIT) {
        // SDL_QUIT arrives only when the system asks the program to end (the window's own close
        // request comes as a window event): treated like a close, so the end stays orderly.
        message.message = WM_CLOSE;
        return message;
    }
    if (event.type != SDL_WINDOWEVENT) return message;
    const uint32_t id = event.window.windowID;
    switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            message.message = WM_CLOSE;
            return message;
        case SDL_WINDOWEVENT_MINIMIZED:
            return Activation(WA_INACTIVE, true);
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            return Activation(WA_ACTIVE, false);
        // Focus and visibility changes carry the minimised state the window has now, as the
        // desktop's activation message does.
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            return Activation(WA_ACTIVE, IsMinimised(id));
        case SDL_WINDOWEVENT_FOCUS_LOST:
            return Activation(WA_INACTIVE, IsMinimised(id));
        default:
            return message;
    }
}

}  // namespace

Message::Message() : message(WM_NULL), wParam(0) {}

bool PeekMessage(Message& message) {
    SDL_Event event;
    if (SDL_WasInit(SDL_INIT_EVENTS) != 0 && SDL_PollEvent(&event) != 0) {
        message = Translate(event);
        return true;
    }
    if (!quitPosted) return false;
    quitPosted = false;
    message = Message();
    message.message = WM_QUIT;
    message.wParam = static_cast<uint32_t>(quitCode);
    return true;
}

void DispatchMessage(const Message& message) {
    if (windowProcedure != nullptr) windowProcedure(message);
}

void PostQuitMessage(int32_t exitCode) {
    quitPosted = true;
    quitCode = exitCode;
}

void SetWindowProcedure(WindowProcedure procedure) {
    windowProcedure = procedure;
}
