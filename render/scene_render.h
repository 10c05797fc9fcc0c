// The GL side of a Scene (scene/scene.h): compiling it into world arrays and one display list,
// drawing it once per frame from its camera, and taking it down.
#pragma once

#include "scene/scene.h"

// Merges the objects into the world arrays and records the display list, one triangle batch per
// texture. Needs a loaded scene and a current GL context. `compiled` becomes true only with a
// recorded list: without one (totals beyond 32 bits, no memory, no list name) it stays false, so
// that DrawScene reports the failure. The totals and world arrays stay whenever they could be
// built, for the report.
void CompileScene(Scene& scene);
// Clears, sets the view from the camera (from the origin when there is none) and calls the list.
// False when the scene is not compiled.
bool DrawScene(Scene& scene);
// One frame of a scene that is shown once (a thumbnail), without the cost of recording a list:
// the world arrays built when they are not yet, then, like DrawScene, the clear, the camera's view
// and every drawable face of each texture, straight from the world arrays. GL's lighting is never
// on, so the list's face normals change nothing: the frame is DrawScene's. False when memory runs
// out.
bool DrawSceneOnce(Scene& scene);
// Deletes the display list and the textures when a context is current (otherwise they went with
// it), then releases the scene's memory (ReleaseScene). Harmless to repeat.
void DestroyScene(Scene& scene);
