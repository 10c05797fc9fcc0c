// Checks a scene file and every file it names without opening a window, through the same walk
// and readers the viewer loads them with, so that a scene the check passes is a scene the viewer
// loads, and the other way round. Unlike the viewer it goes on after a fault where it can, to
// report every problem in one run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "scene/load_problem.h"

struct SceneCheck {
    std::vector<LoadProblem> messages;  // in the order found; every one has a place
    bool loadable = true;               // false when the viewer would refuse the scene
    // The totals the viewer's report would print, over the placed objects whose files load: a
    // part only, when the scene is refused.
    int64_t vertexCount = 0;
    int64_t faceCount = 0;
    int32_t objectCount = 0;
    int64_t hiddenFaceCount = 0;
};

SceneCheck CheckScene(const char* sceneFile);

// Every message of the check, one line each (app/messages.h: FormatLoadProblem), as
// quorvane-check prints them.
void PrintCheckMessages(const SceneCheck& check, std::FILE* to);
