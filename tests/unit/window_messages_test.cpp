// Guards the window procedure and the message queue that feeds the frame loop.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/message_queue.h"
#include "platform/window_procedure.h"

namespace {

Message Make(uint32_t code, uint32_t wParam) {
    Message message;
    message.message = code;
    message.wParam = wParam;
    return message;
}

void DrainQueue() {
    Message message;
    while (PeekMessage(message)) {
    }
}

}  // namespace

// Catches the low word (active or inactive) deciding in place of the high word (minimised):
// a window that merely loses focus keeps drawing, a minimised one stops.
TEST(WindowMessages, ActivationFollowsTheMinimisedState) {
    WndProc(Make(WM_ACTIVATE, MakeWParam(WA_ACTIVE, 1)));
    EXPECT_FALSE(active);
    WndProc(Make(WM_ACTIVATE, MakeWParam(WA_INACTIVE, 0)));
    EXPECT_TRUE(active);
    WndProc(Make(WM_ACTIVATE, MakeWParam(WA_INACTIVE, 0xFFFF)));
    EXPECT_FALSE(active);
    WndProc(Make(WM_NULL, 0));
    EXPECT_FALSE(active);
    WndProc(Make(WM_ACTIVATE, MakeWParam(WA_ACTIVE, 0)));
    EXPECT_TRUE(active);
}

// Catches a quit that overtakes events queued before it, carries another code, or comes more
// than once.
TEST(WindowMessages, QuitComesAfterQueuedEventsWithItsCode) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    DrainQueue();
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    PostQuitMessage(3);

    Message message;
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.message, WM_CLOSE);
    WndProc(message);  // the close request posts quit 0 in place of the pending 3
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_FALSE(PeekMessage(message));

    PostQuitMessage(3);
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.wParam, 3u);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

// Catches the system's request to end (SDL_QUIT, as on SIGTERM) either ignored or ending the
// loop without the window procedure's orderly quit.
TEST(WindowMessages, SystemQuitArrivesAsACloseRequest) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    DrainQueue();
    SDL_Event event = {};
    event.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    Message message;
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.message, WM_CLOSE);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

// Catches a message dispatched with no window procedure set (a call through a null pointer).
TEST(WindowMessages, DispatchWithoutWindowDropsTheMessage) {
    SetWindowProcedure(nullptr);
    DispatchMessage(Make(WM_CLOSE, 0));
    Message message;
    EXPECT_FALSE(PeekMessage(message));
}
