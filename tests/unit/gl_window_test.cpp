// Guards the window and its context: size, buffers, cursor, the full-screen refusals with
// their boxes, and a clean take-down. Runs on the offscreen driver here and on X11 under Xvfb
// in the end-to-end suite.
#include <SDL.h>
#include <gtest/gtest.h>
#include <SDL_opengl.h>

#include <cstdlib>
#include <string>

#include "platform/cursor.h"
#include "platform/display_mode.h"
#include "platform/gl_window.h"
#include "platform/message_box.h"
#include "platform/window_procedure.h"
#include "tests/unit/message_box_recorder.h"

namespace {

const char* const kRefusedText = "Fullscreen Mode Not Supported, Use Windowed Mode Instead?";

bool RefuseSwitch(SDL_Window*, int32_t, int32_t, int32_t) {
    return false;
}

// Holds a video reference of its own, so that what the window leaves behind (cursor, screen
// saver) can still be read after it has gone.
class GLWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        glWindow.windowProcedure = WndProc;
    }
    void TearDown() override {
        glWindow.DestroyWindowAndContext();
        SetDisplayModeSwitch(nullptr);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    bool Create() { return glWindow.CreateWindowAndContext(640, 480, 16, "Quorvane"); }
    void ExpectWindowed640x480() {
        ASSERT_NE(glWindow.window, nullptr);
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(glWindow.window, &width, &height);
        EXPECT_EQ(width, 640);
        EXPECT_EQ(height, 480);
        EXPECT_EQ(SDL_GetWindowFlags(glWindow.window) & SDL_WINDOW_FULLSCREEN, 0u);
    }

    GLWindow glWindow;
};

}  // namespace

// Catches a wrong client size or place, a context left not current, a missing depth or back
// buffer, and a cursor or screen saver left in the wrong state on either side of the window.
TEST_F(GLWindowTest, WindowedHasTheContextSizeAndCursorAsked) {
    ASSERT_TRUE(Create()) << RecordedBoxesText();
    ExpectWindowed640x480();
    EXPECT_TRUE(RecordedBoxes().empty());
    EXPECT_FALSE(glWindow.fullscreen);
    EXPECT_STREQ(SDL_GetWindowTitle(glWindow.window), "Quorvane");
    int x = -1;
    int y = -1;
    SDL_GetWindowPosition(glWindow.window, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_NE(SDL_GetWindowFlags(glWindow.window) & SDL_WINDOW_SHOWN, 0u);
    SDL_GL_GetDrawableSize(glWindow.window, &x, &y);
    EXPECT_EQ(x, 640);
    EXPECT_EQ(y, 480);

    ASSERT_NE(glWindow.renderingContext, nullptr);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), glWindow.renderingContext);
    GLint bits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &bits);
    EXPECT_GE(bits, 16);
    glGetIntegerv(GL_GREEN_BITS, &bits);
    EXPECT_GE(bits, 5);
    // The offscreen driver draws into a single-buffered pbuffer whatever is asked; a real
    // display must give the back buffer.
    if (std::string(SDL_GetCurrentVideoDriver()) != "offscreen") {
        GLboolean doubleBuffered = GL_FALSE;
        glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
        EXPECT_EQ(doubleBuffered, GL_TRUE);
    }
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_FALSE(SDL_IsScreenSaverEnabled());

    glWindow.DestroyWindowAndContext();
    EXPECT_EQ(glWindow.window, nullptr);
    EXPECT_EQ(glWindow.renderingContext, nullptr);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    EXPECT_TRUE(SDL_IsScreenSaverEnabled());
    EXPECT_FALSE(glWindow.fullscreen);
}

// Catches a refusal answered No that still makes a window, shows the boxes out of order or
// with other texts, or reports success.
TEST_F(GLWindowTest, RefusedFullScreenAnsweredNoStopsWithTwoBoxes) {
    SetDisplayModeSwitch(RefuseSwitch);
    glWindow.fullscreen = true;
    SetMessageBoxAnswer(IDNO);
    EXPECT_FALSE(Create());
    ASSERT_EQ(RecordedBoxes().size(), 2u);
    EXPECT_EQ(RecordedBoxes()[0].text, kRefusedText);
    EXPECT_EQ(RecordedBoxes()[0].caption, "OpenGL");
    EXPECT_EQ(RecordedBoxes()[0].style, MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_EQ(RecordedBoxes()[1].text, "Application stopped!!!");
    EXPECT_EQ(RecordedBoxes()[1].caption, "ERROR");
    EXPECT_EQ(RecordedBoxes()[1].style, MB_OK | MB_ICONSTOP);
    EXPECT_EQ(glWindow.window, nullptr);
    EXPECT_EQ(glWindow.renderingContext, nullptr);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    glWindow.DestroyWindowAndContext();  // nothing left to take down: harmless
}

// Catches Yes not falling back to a window, `fullscreen` left true (so the next switch would
// not ask for full screen again), and a second switch that no longer asks.
TEST_F(GLWindowTest, RefusedFullScreenAnsweredYesMakesAWindow) {
    SetDisplayModeSwitch(RefuseSwitch);
    glWindow.fullscreen = true;
    SetMessageBoxAnswer(IDYES);
    ASSERT_TRUE(Create()) << RecordedBoxesText();
    ASSERT_EQ(RecordedBoxes().size(), 1u);
    EXPECT_EQ(RecordedBoxes()[0].text, kRefusedText);
    EXPECT_FALSE(glWindow.fullscreen);
    ExpectWindowed640x480();
    EXPECT_EQ(SDL_GL_GetCurrentContext(), glWindow.renderingContext);

    glWindow.DestroyWindowAndContext();
    glWindow.ToggleFullscreen();
    ASSERT_TRUE(Create()) << RecordedBoxesText();
    EXPECT_EQ(RecordedBoxes().size(), 2u);
    ExpectWindowed640x480();
}

// Catches a close request that destroys the window or ends the loop with another code, and
// window events that never reach the window procedure through the queue.
TEST_F(GLWindowTest, CloseRequestPostsQuitAndKeepsTheWindow) {
    ASSERT_TRUE(Create()) << RecordedBoxesText();
    SDL_Event close = {};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = SDL_GetWindowID(glWindow.window);
    ASSERT_EQ(SDL_PushEvent(&close), 1);

    Message message;
    bool quit = false;
    for (int i = 0; i < 1000 && !quit; ++i) {
        if (!PeekMessage(message)) continue;
        quit = message.message == WM_QUIT;
        if (!quit) DispatchMessage(message);
    }
    ASSERT_TRUE(quit);
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_EQ(SDL_GetWindowFromID(close.window.windowID), glWindow.window);
    EXPECT_NE(glWindow.window, nullptr);
}

// Catches `active` not following minimise and restore when they come from the queue.
TEST_F(GLWindowTest, ActiveFollowsMinimiseAndRestore) {
    ASSERT_TRUE(Create()) << RecordedBoxesText();
    Message message;
    while (PeekMessage(message)) DispatchMessage(message);
    EXPECT_TRUE(active);

    const Uint32 id = SDL_GetWindowID(glWindow.window);
    for (Uint8 event : {SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_RESTORED}) {
        SDL_Event windowEvent = {};
        windowEvent.type = SDL_WINDOWEVENT;
        windowEvent.window.event = event;
        windowEvent.window.windowID = id;
        ASSERT_EQ(SDL_PushEvent(&windowEvent), 1);
        while (PeekMessage(message)) DispatchMessage(message);
        EXPECT_EQ(active, event == SDL_WINDOWEVENT_RESTORED);
    }
}

// Catches a cursor that cannot be placed and read back in screen pixels, which would turn the
// camera by itself every frame; where the platform cannot move the pointer the position is
// kept.
TEST_F(GLWindowTest, CursorGoesWhereItIsSet) {
    ASSERT_TRUE(Create()) << RecordedBoxesText();
    Point cursor;
    for (int32_t x : {420, 320}) {
        SetCursorPos(x, 260);
        for (int read = 0; read < 2; ++read) {
            GetCursorPos(cursor);
            EXPECT_EQ(cursor.x, x);
            EXPECT_EQ(cursor.y, 260);
        }
    }
}

// Catches a window that holds the platform's video after it has gone (a leaked subsystem
// reference), and a second take-down that touches freed handles.
TEST(GLWindow, TakeDownLeavesThePlatformAsFound) {
    ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    GLWindow glWindow;
    glWindow.windowProcedure = WndProc;
    ASSERT_TRUE(glWindow.CreateWindowAndContext(640, 480, 16, "Quorvane")) << RecordedBoxesText();
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    glWindow.DestroyWindowAndContext();
    glWindow.DestroyWindowAndContext();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

// Catches a display that cannot be opened reported as success (a null window the frame loop
// would draw into) or passing without a word.
TEST(GLWindow, NoDisplayGivesFalseAndABox) {
    ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    const char* previous = std::getenv("SDL_VIDEODRIVER");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    GLWindow glWindow;
    glWindow.windowProcedure = WndProc;
    const bool created = glWindow.CreateWindowAndContext(640, 480, 16, "Quorvane");
    if (previous != nullptr) setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    if (previous == nullptr) unsetenv("SDL_VIDEODRIVER");
    EXPECT_FALSE(created);
    EXPECT_EQ(glWindow.window, nullptr);
    ASSERT_EQ(RecordedBoxes().size(), 1u);
    EXPECT_EQ(RecordedBoxes()[0].caption, "OpenGL");
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}
