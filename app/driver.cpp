#include "app/driver.h"

#include "app/controls.h"
#include "app/report.h"
#include "platform/cursor.h"
#include "platform/window_procedure.h"

namespace {

// The window goes first, so that the scene's GL objects go with its context and the keyboard is
// never left bound to a window that has gone.
void TakeDownSystem(Driver& driver) {
    driver.glWindow->DestroyWindowAndContext();
    driver.input->ShutdownInput();
    driver.scene->DestroyScene();
}

bool Fail(Driver& driver, int32_t status) {
    TakeDownSystem(driver);
    driver.failedStatus = status;
    return false;
}

// The steps that start-up and the switch share, from the window procedure to the compiled scene.
bool BringUp(Driver& driver) {
    GLWindow& glWindow = *driver.glWindow;
    glWindow.windowProcedure = WndProc;
    if (!glWindow.CreateWindowAndContext(kScreenWidth, kScreenHeight, kColourBits, kWindowTitle)) {
        return Fail(driver, 0);
    }
    glWindow.SetupRenderState(kScreenWidth, kScreenHeight);
    driver.fog->SetupFog();
    driver.fog->EnableFog();
    if (driver.input->InitInput(glWindow.window) == 0) return Fail(driver, 0);
    SetCursorPos(kCursorCentreX, kCursorCentreY);
    if (driver.scene->LoadScene(kSceneFile)) return Fail(driver, 1);
    driver.scene->CompileScene();
    return true;
}

}  // namespace

Driver::Driver()
    : glWindow(std::make_unique<GLWindow>()),
      scene(std::make_unique<Scene>()),
      fog(std::make_unique<Fog>()),
      input(std::make_unique<Input>()),
      done(false),
      f1Latch(false),
      failedStatus(kStillRunning),
      frameCount(0) {}

bool StartViewer(Driver& driver) {
    return BringUp(driver);
}

void RunLoopPass(Driver& driver) {
    if (PeekMessage(driver.message)) {
        if (driver.message.message == WM_QUIT) {
            driver.done = true;
        } else {
            DispatchMessage(driver.message);
        }
        return;
    }
    if (active && !driver.scene->DrawScene()) {
        driver.done = true;
        return;
    }
    driver.glWindow->SwapBuffers();
    ++driver.frameCount;
    ApplyControls(driver);
}

void RunFrameLoop(Driver& driver) {
    while (!driver.done && driver.failedStatus == kStillRunning) RunLoopPass(driver);
}

bool SwitchFullscreen(Driver& driver) {
    TakeDownSystem(driver);
    driver.glWindow->ToggleFullscreen();
    // Fog settings live in the context that has just gone; the new one starts from the defaults.
    // The constructor makes no GL call, so the record may be made before the new context.
    driver.fog = std::make_unique<Fog>();
    return BringUp(driver);
}

int32_t EndViewer(Driver& driver) {
    // A failed step took everything down already, and such a run leaves no report.
    if (driver.failedStatus != kStillRunning) return driver.failedStatus;
    WriteReport(*driver.scene);
    TakeDownSystem(driver);
    // Only the quit message's wParam is an exit code. After Escape or a failed draw the last
    // message may be any window event (an activation carries 1), which must not read as a
    // failure.
    if (driver.message.message != WM_QUIT) return 0;
    return static_cast<int32_t>(driver.message.wParam);
}

int32_t RunViewer() {
    Driver driver;
    if (StartViewer(driver)) RunFrameLoop(driver);
    return EndViewer(driver);
}
