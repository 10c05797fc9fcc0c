// The picture a thumbnail shows: the model lit and seen as quorvane-import frames it, cut to the
// model's own outline so that it fills the picture, on a transparent background, its edges
// smoothed by drawing it several times larger and averaging.
//
// Lifecycle: FitThumbnail on the framed meshes, a GL context of the view's drawn size, the scene
// shown (model/show), DrawThumbnail.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/camera.h"
#include "scene/scene.h"
#include "scene/scene_object.h"  // Mesh
#include "tools/image/image.h"

struct ThumbnailView {
    // The view's frustum at unit distance (glFrustum's sides over its near plane), and its planes.
    double left = 0, right = 0, bottom = 0, top = 0;
    double nearPlane = 0, farPlane = 0;
    int32_t width = 0, height = 0;  // the picture's size: its larger side the size asked for
    int32_t samples = 1;            // drawn this many times larger along each side
};

// The view from `camera` that holds every face corner of `meshes` with a small margin, with a
// picture whose larger side is `size`. False when no corner lies in front of the camera.
bool FitThumbnail(const std::vector<Mesh>& meshes, const CameraStart& camera, int32_t size,
                  ThumbnailView& view);

// Draws `scene` once with `view`, on the current context of the view's drawn size, and returns
// the picture: RGBA, bottom row first, each pixel as opaque as the share of it the model covers.
Image DrawThumbnail(Scene& scene, const ThumbnailView& view);
