// The viewer as a whole: the four long-lived records, start-up, the frame loop, the full-screen
// switch and the orderly end.
//
// Lifecycle: Driver (creates the records), StartViewer, RunFrameLoop (or RunLoopPass one pass at
// a time), EndViewer. RunViewer does all of it; main returns its result.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gl_window.h"
#include "platform/input.h"
#include "platform/message_queue.h"
#include "render/fog.h"
#include "scene/scene.h"

// What the viewer was given to load, and the window it opens.
constexpr const char* kSceneFile = "data/demo.scn";
constexpr int32_t kScreenWidth = 640;
constexpr int32_t kScreenHeight = 480;
constexpr int32_t kColourBits = 16;
constexpr const char* kWindowTitle = "Quorvane";

// Exit status of a run that is still going.
constexpr int32_t kStillRunning = -1;

struct Driver {
    // Created in this order; only `fog` is replaced, by each full-screen switch.
    std::unique_ptr<GLWindow> glWindow;
    std::unique_ptr<Scene> scene;
    std::unique_ptr<Fog> fog;
    std::unique_ptr<Input> input;
    Message message;       // the last message taken off the queue
    bool done;             // the end flag: the loop ends at its next test
    bool f1Latch;          // set by the F1 press that switched, cleared by the next frame with F1
    int32_t failedStatus;  // kStillRunning, or the status of a start-up or switch step that failed
    uint64_t frameCount;   // frames run since start; read by tests and the frame-rate probe

    Driver();  // the four records, constructed; end flag and latch clear
};

// Window, GL state, fog, keyboard, cursor at the centre, scene loaded and compiled. False when a
// step failed: everything already opened is taken down again (window first) and `failedStatus`
// holds the run's exit status, 0 for the window or keyboard, 1 for the scene.
bool StartViewer(Driver& driver);

// One pass of the frame loop: a message taken off the queue and handled, or, when the queue is
// empty, one frame: draw while `active` (a failed draw sets the end flag and ends the frame),
// swap, controls.
void RunLoopPass(Driver& driver);
// Passes until the end flag is set or a switch failed.
void RunFrameLoop(Driver& driver);

// F1: takes the system down and starts it again in the other display mode, with a new Fog; the
// camera is the camera file's again. False as StartViewer.
bool SwitchFullscreen(Driver& driver);

// The orderly end after the loop: the report, then window, keyboard and scene taken down.
// Returns the exit status: the failed step's; else the quit message's code when the loop ended
// on it, 0 when it ended by Escape or a failed draw.
int32_t EndViewer(Driver& driver);

// The whole run, from the records' creation to the exit status.
int32_t RunViewer();
