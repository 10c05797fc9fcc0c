#include "app/controls.h"

#include <cmath>  // sin, cos for walking

#include "platform/key_codes.h"

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

bool IsDown(const Input& input, uint8_t code) {
    return (input.keys[code] & kKeyDown) != 0;
}

// The F1 row: every second frame with F1 down switches, starting with the first.
bool ApplyFullscreenKey(Driver& driver) {
    if (!IsDown(*driver.input, DIK_F1)) return true;
    if (driver.f1Latch) {
        driver.f1Latch = false;
        return true;
    }
    driver.f1Latch = true;
    return SwitchFullscreen(driver);
}

void ApplyCameraKeys(const Input& input, Camera& camera) {
    if (IsDown(input, DIK_C)) camera.y = static_cast<float>(camera.y - kVerticalStep);
    if (IsDown(input, DIK_D)) camera.y = static_cast<float>(camera.y + kVerticalStep);
    if (IsDown(input, DIK_PRIOR)) camera.pitch = static_cast<float>(camera.pitch + kPitchStep);
    if (IsDown(input, DIK_NEXT)) camera.pitch = static_cast<float>(camera.pitch - kPitchStep);
    if (IsDown(input, DIK_END)) camera.pitch = 0.0f;
}

void ApplyWalkAndTurnKeys(const Input& input, Camera& camera) {
    if (IsDown(input, DIK_UP)) {
        camera.x =
            static_cast<float>(camera.x - std::sin(camera.heading * kDegreesToRadians) * kWalkStep);
        camera.z =
            static_cast<float>(camera.z - std::cos(camera.heading * kDegreesToRadians) * kWalkStep);
    }
    if (IsDown(input, DIK_DOWN)) {
        camera.x =
            static_cast<float>(camera.x + std::sin(camera.heading * kDegreesToRadians) * kWalkStep);
        camera.z =
            static_cast<float>(camera.z + std::cos(camera.heading * kDegreesToRadians) * kWalkStep);
    }
    if (IsDown(input, DIK_RIGHT)) {
        camera.yaw = static_cast<float>(camera.yaw - kTurnStep);
        camera.heading = static_cast<float>(camera.heading - kTurnStep);
    }
    if (IsDown(input, DIK_LEFT)) {
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

void ApplyKeyBindings(Driver& driver) {
    if (!ApplyFullscreenKey(driver)) return;
    // Read only now: a switch has replaced the fog and the camera.
    const Input& input = *driver.input;
    if (IsDown(input, DIK_ESCAPE)) driver.done = true;
    Camera* const camera = driver.scene->camera;
    if (camera != nullptr) ApplyCameraKeys(input, *camera);
    if (IsDown(input, DIK_F)) driver.fog->EnableFog();
    if (IsDown(input, DIK_G)) driver.fog->DisableFog();
    if (camera != nullptr) ApplyWalkAndTurnKeys(input, *camera);
}

void ApplyControls(Driver& driver) {
    Input& input = *driver.input;
    GetCursorPos(input.cursor);
    SetCursorPos(kCursorCentreX, kCursorCentreY);
    if (driver.scene->camera != nullptr) LookByCursor(input.cursor, *driver.scene->camera);
    // A failed read leaves every key up (the platform clears them), so a window that lost the
    // keyboard neither walks on nor quits by itself.
    input.GetDeviceState();
    ApplyKeyBindings(driver);
}
