// Guards the driver on the offscreen display with a small scene: the frame loop's one message
// per pass, drawing only while active, the exit statuses, the report written only at an orderly
// end, and the full-screen switch with its F1 latch, its fresh camera and fog, and its failures
// (under AddressSanitizer: with nothing leaked over several switches).
#include <SDL.h>
#include <SDL_opengl.h>
#include <gtest/gtest.h>
#include <unistd.h>  // chdir, getcwd: the viewer reads data/ relative to the working directory

#include <cmath>  // sin, cos for the expected walk
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "app/driver.h"
#include "platform/display_mode.h"
#include "platform/key_codes.h"
#include "platform/message_box.h"
#include "platform/window_procedure.h"
#include "tests/unit/message_box_recorder.h"
#include "tests/unit/temp_dir.h"

namespace {

// One triangle of texture 0, seen from the camera "1 2 3 10 20 30".
const char* kObject = "3 1 0 0 0 0\n0 0 0 0 0\n1 0 0 1 0\n0 1 0 0 1\n0 1 2 0\n";
const char* kScene = "1 1\ndata/tri.obj 0 0 -5 1\ndata/metal.tga\ndata/view.cam\n";
const char* kReport =
    "Total used vertexes: 3\nTotal rendered faces: 1\n\nTotal rendered objects: 1\n\n"
    "Average fps : for now unknown, not enough i suppose ;-)";

uint8_t preparedKeys[256];
int keyboardReads = 0;

bool ReadPreparedKeys(SDL_Window*, uint8_t keys[256]) {
    std::memcpy(keys, preparedKeys, sizeof preparedKeys);
    ++keyboardReads;
    return true;
}

void HoldKeys(std::initializer_list<uint8_t> codes) {
    std::memset(preparedKeys, 0, sizeof preparedKeys);
    for (uint8_t code : codes) preparedKeys[code] = kKeyDown;
}

bool AcceptSwitch(SDL_Window*, int32_t, int32_t, int32_t) {
    return true;
}

bool RefuseSwitch(SDL_Window*, int32_t, int32_t, int32_t) {
    return false;
}

// Runs in a directory holding data/demo.scn and its files, with the keyboard prepared by the
// test and full screen accepted without a display-mode change.
class DriverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("data/tri.obj", kObject);
        dir.Write("data/view.cam", "1 2 3 10 20 30\n");
        dir.Write("data/demo.scn", kScene);
        std::filesystem::copy_file(std::string(QUORVANE_SOURCE_DIR) + "/data/textures/metal.tga",
                                   dir / "data/metal.tga");
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        HoldKeys({});
        keyboardReads = 0;
        SetKeyboardReader(ReadPreparedKeys);
        SetDisplayModeSwitch(AcceptSwitch);
    }
    void TearDown() override {
        SetDisplayModeSwitch(nullptr);
        SetKeyboardReader(nullptr);
        active = true;
        ASSERT_EQ(chdir(previous), 0);
    }
    // Passes until `count` more frames have run; false if the loop ended or never got there.
    static bool RunFrames(Driver& driver, int count) {
        const uint64_t target = driver.frameCount + static_cast<uint64_t>(count);
        for (int pass = 0; pass < 10000 && driver.frameCount < target; ++pass) {
            if (driver.done || driver.failedStatus != kStillRunning) return false;
            RunLoopPass(driver);
        }
        return driver.frameCount == target;
    }
    bool ReportExists() const { return std::filesystem::exists(dir / "data/report.log"); }

    TempDir dir;
    char previous[4096];
};

}  // namespace

// Catches a run that does not start in order, ignores Escape, ends with another status than 0
// (the last message taken, the window's activation, carries 1), skips the report or writes other
// totals, or leaves the display open.
TEST_F(DriverTest, EscapeEndsTheRunWithTheReport) {
    HoldKeys({DIK_ESCAPE});
    EXPECT_EQ(RunViewer(), 0);
    EXPECT_EQ(ReadWholeFile(dir / "data/report.log"), kReport);
    EXPECT_TRUE(RecordedBoxes().empty()) << RecordedBoxesText();
    EXPECT_EQ(keyboardReads, 1);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

// Catches a loop that handles several messages in one pass, runs a frame while messages wait,
// or returns another status than the quit message's code.
TEST_F(DriverTest, OneMessagePerPassAndTheQuitCodeIsTheStatus) {
    Driver driver;
    ASSERT_TRUE(StartViewer(driver)) << RecordedBoxesText();
    ASSERT_TRUE(RunFrames(driver, 1));  // whatever the window queued at its creation is gone
    SDL_Event event = {};
    event.type = SDL_USEREVENT;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    RunLoopPass(driver);
    RunLoopPass(driver);
    EXPECT_EQ(driver.frameCount, 1u);
    RunLoopPass(driver);
    EXPECT_EQ(driver.frameCount, 2u);

    PostQuitMessage(7);
    RunFrameLoop(driver);
    EXPECT_TRUE(driver.done);
    EXPECT_EQ(EndViewer(driver), 7);
    EXPECT_EQ(ReadWholeFile(dir / "data/report.log"), kReport);
}

// Catches drawing while minimised, an inactive window whose controls stop, and a failed draw
// that still swaps and runs the controls or does not end the run in order.
TEST_F(DriverTest, InactiveSkipsOnlyTheDrawAndAFailedDrawEnds) {
    Driver driver;
    ASSERT_TRUE(StartViewer(driver)) << RecordedBoxesText();
    ASSERT_TRUE(RunFrames(driver, 1));
    EXPECT_EQ(driver.scene->viewX, -1.0f);

    active = false;
    driver.scene->camera->x = 5.0f;
    HoldKeys({DIK_D});
    const int reads = keyboardReads;
    ASSERT_TRUE(RunFrames(driver, 1));
    EXPECT_EQ(driver.scene->viewX, -1.0f);  // not drawn
    EXPECT_EQ(keyboardReads, reads + 1);
    EXPECT_EQ(driver.scene->camera->y, 2.05f);
    active = true;
    ASSERT_TRUE(RunFrames(driver, 1));
    EXPECT_EQ(driver.scene->viewX, -5.0f);

    driver.scene->compiled = false;
    const uint64_t frames = driver.frameCount;
    while (!driver.done && driver.frameCount == frames) RunLoopPass(driver);
    EXPECT_TRUE(driver.done);
    EXPECT_EQ(driver.frameCount, frames);  // no swap
    EXPECT_EQ(keyboardReads, reads + 2);   // no controls
    EXPECT_EQ(EndViewer(driver), 0);
    EXPECT_TRUE(ReportExists());
}

// Catches a missing scene that is not reported with its box, ends with another status than 1,
// leaves the window open, or writes (or spoils) a report.
TEST_F(DriverTest, MissingSceneEndsWithOneAndLeavesTheEarlierReport) {
    std::filesystem::remove(dir / "data/demo.scn");
    dir.Write("data/report.log", "earlier");
    EXPECT_EQ(RunViewer(), 1);
    ASSERT_EQ(RecordedBoxes().size(), 1u);
    EXPECT_EQ(RecordedBoxes()[0].text, "Scene could not be loaded!");
    EXPECT_EQ(RecordedBoxes()[0].caption, "Quorvane OpenGL");
    EXPECT_EQ(ReadWholeFile(dir / "data/report.log"), "earlier");
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

// Catches a latch that switches on every frame with F1 down, not on the first, or that a
// release of F1 clears.
TEST_F(DriverTest, F1HeldSwitchesOnEveryOtherFrame) {
    Driver driver;
    ASSERT_TRUE(StartViewer(driver)) << RecordedBoxesText();
    HoldKeys({DIK_F1});
    const bool expected[] = {true, true, false, false, true};
    for (bool fullscreen : expected) {
        ASSERT_TRUE(RunFrames(driver, 1)) << RecordedBoxesText();
        EXPECT_EQ(driver.glWindow->fullscreen, fullscreen);
    }
    HoldKeys({});
    ASSERT_TRUE(RunFrames(driver, 2));
    HoldKeys({DIK_F1});
    ASSERT_TRUE(RunFrames(driver, 1));  // the latch was still set: this press only clears it
    EXPECT_TRUE(driver.glWindow->fullscreen);
    ASSERT_TRUE(RunFrames(driver, 1));
    EXPECT_FALSE(driver.glWindow->fullscreen);
    HoldKeys({DIK_ESCAPE});
    ASSERT_TRUE(RunFrames(driver, 1));
    EXPECT_EQ(EndViewer(driver), 0);
    EXPECT_EQ(ReadWholeFile(dir / "data/report.log"), kReport);
    EXPECT_TRUE(RecordedBoxes().empty()) << RecordedBoxesText();
}

// Catches a switch that keeps the walked camera or the switched-off fog, runs the later rows
// on the old records, or lets F1 and Escape in one frame skip either.
TEST_F(DriverTest, SwitchBringsBackTheCameraFileAndFog) {
    Driver driver;
    ASSERT_TRUE(StartViewer(driver)) << RecordedBoxesText();
    HoldKeys({DIK_G, DIK_UP, DIK_LEFT, DIK_NEXT});
    ASSERT_TRUE(RunFrames(driver, 1));
    ASSERT_FALSE(glIsEnabled(GL_FOG));

    HoldKeys({DIK_F1, DIK_ESCAPE, DIK_UP});
    ASSERT_TRUE(RunFrames(driver, 1));
    EXPECT_TRUE(driver.done);
    EXPECT_TRUE(driver.glWindow->fullscreen);
    const Camera& camera = *driver.scene->camera;
    const double radians = 30.0f * 0.017453292f;
    EXPECT_EQ(camera.x, static_cast<float>(1.0f - std::sin(radians) * 0.21f));
    EXPECT_EQ(camera.z, static_cast<float>(3.0f - std::cos(radians) * 0.21f));
    EXPECT_EQ(camera.y, 2.0f);
    EXPECT_EQ(camera.pitch, 10.0f);
    EXPECT_EQ(camera.yaw, 20.0f);
    EXPECT_EQ(camera.heading, 30.0f);
    EXPECT_TRUE(driver.fog->enabled);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_EQ(EndViewer(driver), 0);
    EXPECT_EQ(ReadWholeFile(dir / "data/report.log"), kReport);
}

// Catches a refused full screen answered No that runs on, or reaches the rows after F1 with
// nothing open (the refusal answered Yes is run for real in the end-to-end tests).
TEST_F(DriverTest, RefusedFullScreenAnsweredNoEndsAtOnce) {
    SetDisplayModeSwitch(RefuseSwitch);
    Driver driver;
    ASSERT_TRUE(StartViewer(driver)) << RecordedBoxesText();
    SetMessageBoxAnswer(IDNO);
    HoldKeys({DIK_F1, DIK_ESCAPE, DIK_UP});
    RunFrameLoop(driver);
    EXPECT_EQ(driver.failedStatus, 0);
    EXPECT_FALSE(driver.done);  // the rows after F1 did not run
    ASSERT_EQ(RecordedBoxes().size(), 2u);
    EXPECT_EQ(RecordedBoxes()[1].text, "Application stopped!!!");
    EXPECT_EQ(EndViewer(driver), 0);
    EXPECT_FALSE(ReportExists());
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

// Catches a scene that fails to load during a switch but leaves the window open, ends with
// another status than 1, or writes the report.
TEST_F(DriverTest, SceneLostBeforeASwitchEndsWithOne) {
    Driver driver;
    ASSERT_TRUE(StartViewer(driver)) << RecordedBoxesText();
    std::filesystem::remove(dir / "data/demo.scn");
    HoldKeys({DIK_F1});
    RunFrameLoop(driver);
    EXPECT_EQ(EndViewer(driver), 1);
    ASSERT_EQ(RecordedBoxes().size(), 1u);
    EXPECT_EQ(RecordedBoxes()[0].text, "Scene could not be loaded!");
    EXPECT_FALSE(ReportExists());
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    EXPECT_EQ(driver.scene->camera, nullptr);  // what the failed load held is released
}
