// Guards the window procedure and the event queue that feeds the frame loop.
#include <SDL.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/platform.h"

// Catches a close request or the system's request to end (SDL_QUIT, as on SIGTERM) not arriving
// as Close, a quit that overtakes events queued before it, comes more than once or carries another
// code, and a close request that leaves a pending quit code in place of 0.
TEST(WindowMessages, CloseRequestsComeBeforeTheQuitWithItsCode) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    Event event;
    for (int i = 0; i < 100 && PollEvent(event); ++i) continue;
    SDL_Event events[2] = {};
    events[0].type = SDL_WINDOWEVENT;
    events[0].window.event = SDL_WINDOWEVENT_CLOSE;
    events[1].type = SDL_QUIT;
    for (SDL_Event& sdl : events) ASSERT_EQ(SDL_PushEvent(&sdl), 1);
    PostQuit(3);
    std::vector<std::pair<EventType, int32_t>> taken;
    for (int i = 0; i < 10 && PollEvent(event); ++i) {  // a quit that never ends stops too
        taken.emplace_back(event.type, event.exitCode);
        if (event.type != EventType::Quit) WndProc(event);
    }
    EXPECT_EQ(taken, (decltype(taken){
                         {EventType::Close, 0}, {EventType::Close, 0}, {EventType::Quit, 0}}));
    PostQuit(3);
    ASSERT_TRUE(PollEvent(event));
    EXPECT_EQ(event.exitCode, 3);
    EXPECT_FALSE(PollEvent(event));
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    // Where no box can be shown, a question is answered No: the careful answer.
    EXPECT_EQ(PrintMessageBox("?", "test", BoxButtons::YesNo, BoxIcon::None), BoxAnswer::No);
}
