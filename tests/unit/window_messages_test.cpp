// Guards the window procedure and the message queue that feeds the frame loop.
#include <SDL.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/message_queue.h"
#include "platform/window_procedure.h"

// Catches the low word (active or inactive) deciding in place of the high word (minimised),
// so that a window that merely loses focus stops drawing or a minimised one keeps on, and
// another message touching `active`.
TEST(WindowMessages, ActivationFollowsTheMinimisedState) {
    const uint32_t steps[][3] = {
        {WM_ACTIVATE, MakeWParam(WA_ACTIVE, 1), false},
        {WM_ACTIVATE, MakeWParam(WA_INACTIVE, 0), true},
        {WM_ACTIVATE, MakeWParam(WA_INACTIVE, 0xFFFF), false},
        {WM_NULL, 0, false},
        {WM_ACTIVATE, MakeWParam(WA_ACTIVE, 0), true},
    };
    Message message;
    for (const auto& [code, wParam, expected] : steps) {
        message.message = code;
        message.wParam = wParam;
        WndProc(message);
        EXPECT_EQ(active, expected != 0) << std::hex << wParam;
    }
}

// Catches a close request or the system's request to end (SDL_QUIT, as on SIGTERM) not
// arriving as WM_CLOSE, a quit that overtakes events queued before it, comes more than once
// or carries another code, a close request that leaves a pending quit code in place of 0, and
// a message dispatched with no window procedure set (a call through a null pointer).
TEST(WindowMessages, CloseRequestsComeBeforeTheQuitWithItsCode) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    Message message;
    for (int i = 0; i < 100 && PeekMessage(message); ++i) continue;
    SDL_Event events[2] = {};
    events[0].type = SDL_WINDOWEVENT;
    events[0].window.event = SDL_WINDOWEVENT_CLOSE;
    events[1].type = SDL_QUIT;
    for (SDL_Event& event : events) ASSERT_EQ(SDL_PushEvent(&event), 1);
    PostQuitMessage(3);
    std::vector<std::pair<uint32_t, uint32_t>> taken;       // message, wParam
    for (int i = 0; i < 10 && PeekMessage(message); ++i) {  // a quit that never ends stops too
        taken.emplace_back(message.message, message.wParam);
        WndProc(message);
    }
    EXPECT_EQ(taken, (decltype(taken){{WM_CLOSE, 0}, {WM_CLOSE, 0}, {WM_QUIT, 0}}));
    PostQuitMessage(3);
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.wParam, 3u);
    SetWindowProcedure(nullptr);
    message.message = WM_CLOSE;
    DispatchMessage(message);
    EXPECT_FALSE(PeekMessage(message));
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}
