#include <SDL.h>

#include "platform/internal.h"
#include "platform/platform.h"

namespace {

bool quitPosted = false;
bool signalTaken = false;  // the quit signal has become its Close event
int32_t quitCode = 0;

bool IsMinimised(uint32_t windowId) {
    SDL_Window* const window = SDL_GetWindowFromID(windowId);
    return window != nullptr && (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0;
}

Event Activation(bool minimised) {
    Event event;
    event.type = EventType::Activate;
    event.minimised = minimised;
    return event;
}

Event Translate(const SDL_Event& sdl) {
    Event event;
    if (sdl.type == SDL_QUIT) {
        // SDL_QUIT arrives only when the system asks the program to end (the window's own close
        // request comes as a window event): treated like a close, so the end stays orderly.
        event.type = EventType::Close;
        return event;
    }
    if (sdl.type != SDL_WINDOWEVENT) return event;
    switch (sdl.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            event.type = EventType::Close;
            return event;
        case SDL_WINDOWEVENT_MINIMIZED:
            return Activation(true);
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            return Activation(false);
        // Focus and visibility changes carry the minimised state the window has now.
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
            return Activation(IsMinimised(sdl.window.windowID));
        default:
            return event;
    }
}

}  // namespace

Event::Event() : type(EventType::Other), minimised(false), exitCode(0) {}

bool PollEvent(Event& event) {
    if (QuitSignalled() && !signalTaken) {
        signalTaken = true;
        event = Event();
        event.type = EventType::Close;
        return true;
    }
    SDL_Event sdl;
    if (SDL_WasInit(SDL_INIT_EVENTS) != 0 && SDL_PollEvent(&sdl) != 0) {
        event = Translate(sdl);
        return true;
    }
    if (!quitPosted) return false;
    quitPosted = false;
    event = Event();
    event.type = EventType::Quit;
    event.exitCode = quitCode;
    return true;
}

void PostQuit(int32_t exitCode) {
    quitPosted = true;
    quitCode = exitCode;
}
