// The viewer as a whole: the four long-lived records, start-up, the frame loop, the full-screen
// switch and the orderly end.
//
// Lifecycle: Viewer (creates the records), StartViewer, RunFrameLoop (or RunLoopPass one pass at
// a time), EndViewer. RunViewer does all of it; main returns its result.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/platform.h"
#include "render/fog.h"
#include "scene/scene.h"

// What the viewer opens and shows. The viewer itself always runs with these values; quorvane-shot
// and the benchmarks draw other sizes and scenes through the same start-up.
// The viewer's window.
constexpr int32_t kWindowWidth = 640;
constexpr int32_t kWindowHeight = 480;

struct ViewerSetup {
    int32_t width = kWindowWidth;
    int32_t height = kWindowHeight;
    int32_t colourBits = 16;
    const char* title = "Quorvane";
    const char* sceneFile = "data/demo.scn";  // relative to the working directory
};

// Exit status of a run that is still going.
constexpr int32_t kStillRunning = -1;

struct Viewer {
    ViewerSetup setup;
    // Created in this order; only `fog` is replaced, by each full-screen switch.
    std::unique_ptr<GLWindow> glWindow;
    std::unique_ptr<Scene> scene;
    std::unique_ptr<Fog> fog;
    std::unique_ptr<Input> input;
    Event event;           // the last event taken off the queue
    bool done;             // the end flag: the loop ends at its next test
    bool f1Latch;          // set by the F1 press that switched, cleared by the next frame with F1
    bool pointerCentred;   // the viewer put the pointer at the centre, and it has been ours since
    int32_t failedStatus;  // kStillRunning, or the status of a start-up or switch step that failed
    uint64_t frameCount;   // frames run since start; read by tests and the frame-rate probe

    explicit Viewer(const ViewerSetup& setup = ViewerSetup());  // the records, constructed
};

// The viewer's load of a scene file: LoadScene with the renderer's texture loader. A refusal is
// shown in the box its problem calls for, then explained on standard error (file, line and
// column, why), from the same reading. True on failure, as LoadScene.
bool LoadSceneForViewer(Scene& scene, const char* sceneFile);

// The window and what lives with it: window and context, GL state, fog, keyboard, the pointer at
// the centre. False when a step failed: what was opened is taken down and `failedStatus` is 0.
bool OpenViewerWindow(Viewer& viewer);
// The scene loaded and compiled. False when loading failed: everything is taken down (window
// first) and `failedStatus` is 1.
bool LoadViewerScene(Viewer& viewer);
// The whole start-up: OpenViewerWindow, then LoadViewerScene.
bool StartViewer(Viewer& viewer);

// One pass of the frame loop: an event taken off the queue and handled, or, when the queue is
// empty, one frame: draw while `active` (a failed draw sets the end flag and ends the frame),
// swap, controls.
void RunLoopPass(Viewer& viewer);
// Passes until the end flag is set or a switch failed.
void RunFrameLoop(Viewer& viewer);

// F1: takes the system down and starts it again in the other display mode, with a new Fog; the
// camera is the camera file's again. False as StartViewer.
bool SwitchFullscreen(Viewer& viewer);

// Takes the system down without a report: the window first, so that the scene's GL objects go
// with its context and the keyboard is never left bound to a window that has gone.
void StopViewer(Viewer& viewer);
// The orderly end after the loop: the report, then StopViewer. Returns the exit status: the
// failed step's; else the quit event's code when the loop ended on it, 0 when it ended by Escape
// or a failed draw.
int32_t EndViewer(Viewer& viewer);

// The whole run, from the records' creation to the exit status.
int32_t RunViewer();
