#include "app/controls.h"

#include <cmath>  // sin, cos for walking

namespace {

// Single-precision values, held as doubles so that every expression they enter is evaluated in
// double precision: 0.21f here is not the double 0.21.
constexpr double kMouseDivisor = 100.0f;
constexpr double kMouseGain = 5.0f;
constexpr double kVerticalStep = 0.05f;
constexpr double kPitchStep = 1.5f;
constexpr double kWalkStep = 0.21f;
constexpr double kTurnStep = 1.0f;
constexpr double kDegreesToRadians = 0.017453292f;

bool IsDown(const Input& input, KeyCode code) {
    return (input.keys[code] & kKeyDownBit) != 0;
}

// The F1 row: every second frame with F1 down switches, starting with the first.
bool ApplyFullscreenKey(Viewer& viewer) {
    if (!IsDown(*viewer.input, kKeyF1)) return true;
    if (viewer.f1Latch) {
        viewer.f1Latch = false;
        return true;
    }
    viewer.f1Latch = true;
    return SwitchFullscreen(viewer);
}

void ApplyCameraKeys(const Input& input, Camera& camera) {
    if (IsDown(input, kKeyC)) camera.y = static_cast<float>(camera.y - kVerticalStep);
    if (IsDown(input, kKeyD)) camera.y = static_cast<float>(camera.y + kVerticalStep);
    if (IsDown(input, kKeyPageUp)) camera.pitch = static_cast<float>(camera.pitch + kPitchStep);
    if (IsDown(input, kKeyPageDown)) camera.pitch = static_cast<float>(camera.pitch - kPitchStep);
    if (IsDown(input, kKeyEnd)) camera.pitch = 0.0f;
}

void ApplyWalkAndTurnKeys(const Input& input, Camera& camera) {
    if (IsDown(input, kKeyArrowUp)) {
        camera.x =
            static_cast<float>(camera.x - std::sin(camera.heading * kDegreesToRadians) * kWalkStep);
        camera.z =
            static_cast<float>(camera.z - std::cos(camera.heading * kDegreesToRadians) * kWalkStep);
    }
    if (IsDown(input, kKeyArrowDown)) {
        camera.x =
            static_cast<float>(camera.x + std::sin(camera.heading * kDegreesToRadians) * kWalkStep);
        camera.z =
            static_cast<float>(camera.z + std::cos(camera.heading * kDegreesToRadians) * kWalkStep);
    }
    if (IsDown(input, kKeyArrowRight)) {
        camera.yaw = static_cast<float>(camera.yaw - kTurnStep);
        camera.heading = static_cast<float>(camera.heading - kTurnStep);
    }
    if (IsDown(input, kKeyArrowLeft)) {
        camera.yaw = static_cast<float>(camera.yaw + kTurnStep);
        camera.heading = static_cast<float>(camera.heading + kTurnStep);
    }
}

}  // namespace

void LookByCursor(const Point& cursor, Camera& camera) {
    const double leftOfCentre = static_cast<double>(kCursorCentreX - cursor.x);
    const double belowCentre = static_cast<double>(cursor.y - kCursorCentreY);
    camera.heading =
        static_cast<float>(camera.heading + (leftOfCentre / kMouseDivisor) * kMouseGain);
    camera.yaw = camera.heading;
    camera.pitch = static_cast<float>(camera.pitch - (belowCentre / kMouseDivisor) * kMouseGain);
}

void ApplyKeyBindings(Viewer& viewer) {
    if (!ApplyFullscreenKey(viewer)) return;
    // Read only now: a switch has replaced the fog and the camera.
    const Input& input = *viewer.input;
    if (IsDown(input, kKeyEscape)) viewer.done = true;
    Camera* const camera = viewer.scene->camera;
    if (camera != nullptr) ApplyCameraKeys(input, *camera);
    if (IsDown(input, kKeyF)) viewer.fog->EnableFog();
    if (IsDown(input, kKeyG)) viewer.fog->DisableFog();
    if (camera != nullptr) ApplyWalkAndTurnKeys(input, *camera);
}

void ApplyControls(Viewer& viewer) {
    Input& input = *viewer.input;
    // The pointer is the viewer's only while its window has the focus: the desktop's otherwise.
    // Coming back, the view turns only by movement from the centre the viewer put it at, not by
    // where the pointer was left.
    if (input.HasFocus()) {
        GetPointerPosition(input.cursor);
        SetPointerPosition(kCursorCentreX, kCursorCentreY);
        Camera* const camera = viewer.scene->camera;
        if (viewer.pointerCentred && camera != nullptr) LookByCursor(input.cursor, *camera);
        viewer.pointerCentred = true;
    } else {
        viewer.pointerCentred = false;
    }
    // A failed read leaves every key up (the platform clears them), so a window that lost the
    // keyboard neither walks on nor quits by itself.
    input.ReadKeyboard();
    ApplyKeyBindings(viewer);
}
