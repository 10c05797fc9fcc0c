// A built model handed to the renderer in memory: the Scene the viewer would load from the folder
// quorvane-import writes, made without writing or reading a file, for programs that only draw it.
#pragma once

#include "model/records/model.h"
#include "scene/camera.h"
#include "scene/scene.h"

// Fills `scene` (as constructed) with one object per mesh at the origin, scale 1, the model's
// textures as GL textures and `camera`, taking the model's meshes and pictures (they are left
// empty). The scene is then as LoadScene leaves it: CompileScene or DrawSceneOnce draws it and
// DestroyScene takes it down. False when memory runs out or a count exceeds the scene's; the
// scene then holds what was made so far, for DestroyScene. Needs a current GL context.
bool ShowModel(Model& model, const CameraStart& camera, Scene& scene);
