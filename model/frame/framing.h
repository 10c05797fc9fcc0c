// Where the model stands and where the camera looks at it from.
//
// The model stands on the ground plane (its lowest point at y = 0), centred on the vertical axis.
// The camera looks at it from in front, off to one side and from above (kViewYaw, kViewPitch), so
// that no flat model lying in an axis plane is seen edge-on; its heading equals its yaw, so walking
// forward goes straight at the model. The distance is the nearest from which the model's bounding
// box fits the viewer's 45-degree, 4:3 view with a margin; the scale is chosen so that no corner of
// that box is farther from the camera than kSharpDistance, short of where the fog starts (15
// units), so nothing of the model is fogged. The near plane (0.1) is never in the way: the box
// starts well beyond it.
#pragma once

#include <vector>

#include "app/viewer.h"           // the window's size
#include "render/fog.h"           // where the fog starts
#include "render/render_state.h"  // the field of view
#include "model/records/model.h"
#include "model/records/viewpoint.h"  // kViewYaw, kViewPitch

constexpr double kVerticalFieldOfView = kFieldOfViewDegrees;
constexpr double kAspect = static_cast<double>(kWindowWidth) / kWindowHeight;
constexpr double kFrameFill = 0.9;                  // of the half-height and half-width
constexpr double kSharpDistance = kFogStart - 1.0;  // units from the camera

struct Framing {
    double scale = 1.0;  // model units to world units
    CameraStart camera{};
};

// Moves and scales every mesh in place and returns the camera. False when the faces have no
// extent (all their corners lie at one point) or one too large for a double, which no scale can
// show.
bool FrameModel(std::vector<Mesh>& meshes, Framing& framing);
