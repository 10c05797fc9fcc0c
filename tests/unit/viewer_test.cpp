// Guards the viewer on the offscreen display with a one-triangle scene: the frame loop, the exit
// statuses, the report written only at an orderly end, and the full-screen switch with its F1
// latch (under AddressSanitizer: with nothing leaked or used after a switch released it).
#include <SDL.h>
#include <GL/gl.h>
#include <dlfcn.h>  // dlsym: the library's SDL_WasInit behind the stand-in below
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <vector>

#include "app/viewer.h"
#include "platform/platform.h"
#include "tests/support/message_box_recorder.h"
#include "tests/support/temp_dir.h"

// The keyboard cannot fail to start while the window exists, short of the platform's video going
// away: this stand-in for SDL's own function (the test binary's definition wins over the
// library's) lets a test make our code see exactly that.
bool videoDown = false;
extern "C" Uint32 SDL_WasInit(Uint32 flags) {
    static const auto real = reinterpret_cast<Uint32 (*)(Uint32)>(dlsym(RTLD_NEXT, "SDL_WasInit"));
    return real(flags) & (videoDown ? ~static_cast<Uint32>(SDL_INIT_VIDEO) : ~0u);
}

namespace {

std::vector<uint8_t> held;  // the keys down in every keyboard read

// Runs in a directory holding data/demo.scn and its files, with the keyboard
// held by the test and full screen accepted without a display-mode change.
class ViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("data/tri.obj", "3 1 0 0 0 0\n0 0 0 0 0\n1 0 0 1 0\n0 1 0 0 1\n0 1 2 0\n");
        dir.Write("data/view.cam", "1 2 3 10 20 30\n");
        dir.Write("data/demo.scn", "1 0\ndata/tri.obj 0 0 -5 1\ndata/view.cam\n");
        std::filesystem::current_path(dir.path());
        held.clear();
        SetKeyboardReader([](uint8_t keys[256]) {
            for (int code = 0; code < 256; ++code) keys[code] = 0;
            for (uint8_t code : held) keys[code] = kKeyDownBit;
            return true;
        });
        SetDisplayModeSwitch([](auto...) { return true; });
    }
    void TearDown() override {
        SetDisplayModeSwitch(nullptr);
        SetKeyboardReader(nullptr);
        active = true;
        std::filesystem::current_path(previous);
    }
    // Passes until one more frame has run; false if the loop ended first.
    static bool RunFrame(Viewer& d) {
        const uint64_t frames = d.frameCount;
        while (d.frameCount == frames && !d.done && d.failedStatus < 0) RunLoopPass(d);
        return d.frameCount > frames;
    }

    const std::filesystem::path previous = std::filesystem::current_path();
    TempDir dir;
};

}  // namespace

// Catches a run that ignores Escape, ends with another status (after Escape 0; else the quit
// event's code or the failed step's), leaves the display open, or writes the report when a step
// failed, not at all, or after the scene went; and a switch that fails without ending the run.
TEST_F(ViewerTest, RunsEndWithTheirStatus) {
    enum { kEscape, kQuit, kRefusedSwitch, kNoKeyboard, kNoScene };
    const int32_t ends[][2] = {{0, 0}, {7, 0}, {0, 2}, {0, 0}, {1, 1}};  // exit status, boxes shown
    held = {kKeyF1, kKeyEscape};
    for (int run = kEscape; run <= kNoScene; ++run) {
        dir.Write("data/report.log", "earlier");
        RecordedBoxes().clear();
        if (run == kQuit) PostQuit(7);
        if (run == kRefusedSwitch) SetDisplayModeSwitch([](auto...) { return false; });
        videoDown = run == kNoKeyboard;
        if (run == kNoScene) std::filesystem::remove("data/demo.scn");
        EXPECT_EQ(RunViewer(), ends[run][0]) << "run " << run << "\n" << RecordedBoxesText();
        videoDown = false;
        const std::string report = ReadWholeFile(dir / "data/report.log").substr(0, 23);
        EXPECT_EQ(report, run <= kQuit ? "Total used vertexes: 3\n" : "earlier");
        EXPECT_EQ(static_cast<int32_t>(RecordedBoxes().size()), ends[run][1]);
        EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    }
}

// Catches a loop that handles several events in one pass or runs a frame while events wait;
// drawing while minimised, or controls that stop with it; a latch that switches on every frame
// with F1 down, not on the first, or that a release of F1 clears; a switch that keeps the walked
// camera or the switched-off fog, or runs the later rows on the released records; F1 and Escape
// in one frame skipping either; a failed draw that still swaps or runs the controls, or does not
// end the loop.
TEST_F(ViewerTest, FrameLoopAndSwitch) {
    Viewer viewer;
    ASSERT_TRUE(StartViewer(viewer)) << RecordedBoxesText();
    ASSERT_TRUE(RunFrame(viewer));  // whatever the window queued at its creation is gone
    SDL_Event event = {SDL_USEREVENT};
    for (int i = 0; i < 2; ++i) SDL_PushEvent(&event);
    for (uint64_t frames : {1, 1, 2}) {
        RunLoopPass(viewer);
        EXPECT_EQ(viewer.frameCount, frames);
    }

    active = false;
    viewer.scene->camera->x = 5.0f;
    held = {kKeyD};
    ASSERT_TRUE(RunFrame(viewer));
    // Not drawn (the view still from x = 1), but the controls ran.
    EXPECT_EQ(std::tie(viewer.scene->viewX, viewer.scene->camera->y),
              std::make_tuple(-1.0f, 2.05f));
    active = true;

    const std::vector<uint8_t> f1 = {kKeyF1},
                               walk = {kKeyG, kKeyArrowUp, kKeyArrowLeft, kKeyPageDown};
    const std::vector<uint8_t> frames[] = {
        f1, f1, f1, f1, f1, walk, walk, f1, {kKeyF1, kKeyEscape, kKeyArrowUp}};
    const bool fullscreen[] = {1, 1, 0, 0, 1, 1, 1, 1, 0};
    for (int frame = 0; frame < 9; ++frame) {
        held = frames[frame];
        ASSERT_TRUE(RunFrame(viewer)) << RecordedBoxesText();
        EXPECT_EQ(viewer.glWindow->fullscreen, fullscreen[frame]) << "frame " << frame;
        if (frame == 0) {
            EXPECT_TRUE(glIsEnabled(GL_FOG)) << "switched with the fog on";
        }
    }
    EXPECT_TRUE(viewer.done);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    viewer.done = false;
    viewer.scene->compiled = false;
    EXPECT_FALSE(RunFrame(viewer));  // no swap
    EXPECT_TRUE(viewer.done);
    // The camera file's, then a step at heading 30; the failed draw ran no controls, though Up is
    // held.
    const Camera& c = *viewer.scene->camera;
    EXPECT_NEAR(c.x, 1 - 0.5 * 0.21, 1e-6);
    EXPECT_EQ(std::tie(c.y, c.pitch, c.yaw, c.heading), std::make_tuple(2.0f, 10.0f, 20.0f, 30.0f));
    EXPECT_EQ(EndViewer(viewer), 0);
}

// Catches a scene that cannot be made into a display list passing for loaded: the run would end
// with status 0 and a report of a world never shown.
TEST_F(ViewerTest, SceneWithoutADisplayListIsRefused) {
    dir.Write("data/report.log", "earlier");
    Viewer viewer;
    ASSERT_TRUE(OpenViewerWindow(viewer)) << RecordedBoxesText();
    SDL_GL_MakeCurrent(static_cast<SDL_Window*>(viewer.glWindow->window), nullptr);  // no list
    EXPECT_FALSE(LoadViewerScene(viewer));
    EXPECT_EQ(RecordedBoxesText(), "Quorvane OpenGL: Scene could not be loaded!\n");
    EXPECT_EQ(EndViewer(viewer), 1);
    EXPECT_EQ(ReadWholeFile(dir / "data/report.log"), "earlier");
}
