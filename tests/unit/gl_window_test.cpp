// Guards the window and its context: size, buffers, cursor, the full-screen refusals with
// their boxes, window events, and a clean take-down. Runs on the offscreen driver here and on
// X11 under Xvfb in the end-to-end suite.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/platform.h"
#include "tests/support/gl_get.h"
#include "tests/support/message_box_recorder.h"

namespace {

// Holds a video reference of its own, so that what the window leaves behind (cursor, screen
// saver) can still be read after it has gone; once that is given back too, a window that kept
// a reference of its own would hold the platform's video open.
class GLWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
    void TearDown() override {
        glWindow.DestroyWindowAndContext();
        SetDisplayModeSwitch(nullptr);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    }
    bool Create() { return glWindow.CreateWindowAndContext(640, 480, 16, "Quorvane"); }
    SDL_Window* Window() { return static_cast<SDL_Window*>(glWindow.window); }
    void ExpectWindowed640x480() {
        std::pair<int, int> size;  // stays 0 x 0 without a window
        SDL_GL_GetDrawableSize(Window(), &size.first, &size.second);
        EXPECT_EQ(size, std::make_pair(640, 480));
        EXPECT_EQ(SDL_GetWindowFlags(Window()) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_SHOWN),
                  SDL_WINDOW_SHOWN);
        EXPECT_EQ(SDL_GL_GetCurrentContext(), glWindow.renderingContext);
        EXPECT_GE(GLGet(GL_DEPTH_BITS)[0], 16);  // 0 without a current context
        // The offscreen driver draws into a single-buffered pbuffer whatever is asked.
        const std::string driver = SDL_GetCurrentVideoDriver();
        if (driver != "offscreen") {
            EXPECT_EQ(GLGet(GL_DOUBLEBUFFER)[0], 1);
        }
    }
    // Pushes a window event of this window and hands the queue to the window procedure; the
    // quit code that came, or -1.
    int Deliver(Uint8 windowEvent) {
        SDL_Event sdl;
        sdl.window = {SDL_WINDOWEVENT, 0, SDL_GetWindowID(Window()), windowEvent, 0, 0, 0, 0, 0};
        EXPECT_EQ(SDL_PushEvent(&sdl), 1);
        Event event;
        while (PollEvent(event) && event.type != EventType::Quit) WndProc(event);
        return event.type == EventType::Quit ? event.exitCode : -1;
    }

    GLWindow glWindow;
};

}  // namespace

// Catches a wrong client size, a context left not current, a missing depth or back buffer, a
// window left hidden, a cursor or screen saver left in the wrong state on either side of the
// window, a cursor that cannot be placed and read back in screen pixels (the camera would turn
// by itself every frame), window events that never reach the window procedure through the
// queue, `active` not following minimise and restore, a close request ending the loop with a
// code other than 0, and a second take-down that touches freed handles.
TEST_F(GLWindowTest, WindowedWindowFromCreationToTakeDown) {
    ASSERT_TRUE(Create());
    ASSERT_TRUE(RecordedBoxes().empty()) << RecordedBoxesText();
    ExpectWindowed640x480();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_FALSE(SDL_IsScreenSaverEnabled());
    Point cursor;
    for (int32_t x : {420, 320}) {
        SetPointerPosition(x, 260);
        GetPointerPosition(cursor);
        GetPointerPosition(cursor);  // a read without motion moves nothing
        EXPECT_EQ(std::make_pair(cursor.x, cursor.y), std::make_pair(x, 260));
    }
    EXPECT_EQ(Deliver(SDL_WINDOWEVENT_SHOWN), -1);  // and what the display sent on its own
    EXPECT_TRUE(active);
    EXPECT_EQ(Deliver(SDL_WINDOWEVENT_MINIMIZED), -1);
    EXPECT_FALSE(active);
    EXPECT_EQ(Deliver(SDL_WINDOWEVENT_RESTORED), -1);
    EXPECT_TRUE(active);
    EXPECT_EQ(Deliver(SDL_WINDOWEVENT_FOCUS_LOST), -1);
    EXPECT_TRUE(active) << "a window behind another still draws";
    EXPECT_EQ(Deliver(SDL_WINDOWEVENT_CLOSE), 0);

    glWindow.DestroyWindowAndContext();
    EXPECT_EQ(glWindow.window, nullptr);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    EXPECT_TRUE(SDL_IsScreenSaverEnabled());
}

// Catches a refusal that does not ask, No still making a window or reporting success, Yes not
// falling back to a window or leaving `fullscreen` true (the next switch would not ask again),
// and boxes out of order or with other texts or buttons.
TEST_F(GLWindowTest, RefusedFullScreenAsksAndFollowsTheAnswer) {
    SetDisplayModeSwitch([](int32_t, int32_t, int32_t) { return false; });
    const std::string question =
        "OpenGL: Fullscreen Mode Not Supported, Use Windowed Mode Instead?\n";
    glWindow.fullscreen = true;
    SetMessageBoxAnswer(BoxAnswer::No);
    EXPECT_FALSE(Create());
    ASSERT_EQ(RecordedBoxesText(), question + "ERROR: Application stopped!!!\n");
    EXPECT_EQ(RecordedBoxes()[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(RecordedBoxes()[0].icon, BoxIcon::Warning);
    EXPECT_EQ(RecordedBoxes()[1].buttons, BoxButtons::Ok);
    EXPECT_EQ(RecordedBoxes()[1].icon, BoxIcon::Error);
    EXPECT_EQ(glWindow.window, nullptr);

    ResetMessageBoxRecorder();
    SetMessageBoxAnswer(BoxAnswer::Yes);
    ASSERT_TRUE(Create()) << RecordedBoxesText();
    EXPECT_EQ(RecordedBoxesText(), question);
    EXPECT_FALSE(glWindow.fullscreen);
    ExpectWindowed640x480();
}
