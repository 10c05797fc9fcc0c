// Where the importer's camera looks at a model from: the framing places the camera there, and the
// light baked into the model's textures is fixed relative to it, so that the lit side faces the
// camera whatever the model.
#pragma once

constexpr double kViewYaw = 30.0;     // degrees, turned left from looking along -z
constexpr double kViewPitch = -20.0;  // degrees, looking down
