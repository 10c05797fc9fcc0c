// Checks a scene file and every file it names without opening a window, with the same readers and
// validation the viewer loads them with, so that a scene the check passes is a scene the viewer
// loads, and the other way round. Unlike the viewer it goes on after a fault where it can, to
// report every problem in one run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct CheckMessage {
    std::string file;  // the file the position points into
    int line = 1;
    int column = 1;
    bool warning = false;  // something the viewer accepts, but an author should know
    std::string text;
};

struct SceneCheck {
    std::vector<CheckMessage> messages;
    bool loadable = true;  // false when the viewer would refuse the scene
    // The totals the viewer's report would print, over the placed objects whose files load: a
    // part only, when the scene is refused.
    int64_t vertexCount = 0;
    int64_t faceCount = 0;
    int32_t objectCount = 0;
    int64_t hiddenFaceCount = 0;
};

SceneCheck CheckScene(const char* sceneFile);

// "file:line:column: error: text" (or "warning:").
std::string FormatCheckMessage(const CheckMessage& message);
// Every message of the check, one line each, as quorvane-check prints them.
void PrintCheckMessages(const SceneCheck& check, std::FILE* to);
