#include "app/viewer.h"

#include <cstdio>  // the refused scene explained on standard error

#include "app/controls.h"
#include "app/report.h"
#include "app/messages.h"
#include "render/render_state.h"
#include "render/scene_render.h"
#include "render/texture_set.h"

namespace {

bool Fail(Viewer& viewer, int32_t status) {
    StopViewer(viewer);
    viewer.failedStatus = status;
    return false;
}

}  // namespace

bool LoadSceneForViewer(Scene& scene, const char* sceneFile) {
    LoadProblem problem;
    if (!scene.LoadScene(sceneFile, LoadTexture, &problem)) return false;
    // The box never names a file; the terminal says which one, where and why, as quorvane-check
    // would.
    ShowLoadBox(problem);
    std::fprintf(stderr, "%s\n", FormatLoadProblem(problem).c_str());
    std::fprintf(stderr, "quorvane: %s: refused; quorvane-check %s lists every problem\n",
                 sceneFile, sceneFile);
    return true;
}

Viewer::Viewer(const ViewerSetup& viewerSetup)
    : setup(viewerSetup),
      glWindow(std::make_unique<GLWindow>()),
      scene(std::make_unique<Scene>()),
      fog(std::make_unique<Fog>()),
      input(std::make_unique<Input>()),
      done(false),
      f1Latch(false),
      pointerCentred(false),
      failedStatus(kStillRunning),
      frameCount(0) {}

bool OpenViewerWindow(Viewer& viewer) {
    GLWindow& glWindow = *viewer.glWindow;
    const ViewerSetup& setup = viewer.setup;
    if (!glWindow.CreateWindowAndContext(setup.width, setup.height, setup.colourBits,
                                         setup.title)) {
        return Fail(viewer, 0);
    }
    SetupRenderState(setup.width, setup.height);
    viewer.fog->SetupFog();
    viewer.fog->EnableFog();
    if (viewer.input->InitInput(glWindow) == 0) return Fail(viewer, 0);
    SetPointerPosition(kCursorCentreX, kCursorCentreY);
    viewer.pointerCentred = true;
    return true;
}

bool LoadViewerScene(Viewer& viewer) {
    Scene& scene = *viewer.scene;
    const char* const sceneFile = viewer.setup.sceneFile;
    if (LoadSceneForViewer(scene, sceneFile)) return Fail(viewer, 1);
    CompileScene(scene);
    // A scene that cannot be drawn is refused like one that cannot be read: a run that showed
    // nothing must not end as if it had shown the scene.
    if (!scene.compiled) {
        ShowMessageBox(kSceneLoadError, kLoaderCaption);
        std::fprintf(stderr,
                     "quorvane: %s: read, but not made into a display list (more than "
                     "2147483647 vertices or faces, not enough memory, or no GL context)\n",
                     sceneFile);
        return Fail(viewer, 1);
    }
    return true;
}

bool StartViewer(Viewer& viewer) {
    return OpenViewerWindow(viewer) && LoadViewerScene(viewer);
}

void RunLoopPass(Viewer& viewer) {
    if (PollEvent(viewer.event)) {
        if (viewer.event.type == EventType::Quit) {
            viewer.done = true;
        } else {
            WndProc(viewer.event);
        }
        return;
    }
    if (active && !DrawScene(*viewer.scene)) {
        viewer.done = true;
        return;
    }
    viewer.glWindow->SwapBuffers();
    ++viewer.frameCount;
    ApplyControls(viewer);
}

void RunFrameLoop(Viewer& viewer) {
    while (!viewer.done && viewer.failedStatus == kStillRunning) RunLoopPass(viewer);
}

bool SwitchFullscreen(Viewer& viewer) {
    StopViewer(viewer);
    viewer.glWindow->ToggleFullscreen();
    // Fog settings live in the context that has just gone; the new one starts from the defaults.
    // The constructor makes no GL call, so the record may be made before the new context.
    viewer.fog = std::make_unique<Fog>();
    return StartViewer(viewer);
}

void StopViewer(Viewer& viewer) {
    viewer.glWindow->DestroyWindowAndContext();
    viewer.input->ShutdownInput();
    DestroyScene(*viewer.scene);
}

int32_t EndViewer(Viewer& viewer) {
    // A failed step took everything down already, and such a run leaves no report.
    if (viewer.failedStatus != kStillRunning) return viewer.failedStatus;
    WriteReport(*viewer.scene);
    StopViewer(viewer);
    // Only the quit event carries an exit code; after Escape or a failed draw the last event may
    // be anything, and the run ended as asked.
    return viewer.event.type == EventType::Quit ? viewer.event.exitCode : 0;
}

int32_t RunViewer() {
    Viewer viewer;
    if (StartViewer(viewer)) RunFrameLoop(viewer);
    return EndViewer(viewer);
}
