// The limit the viewer's display list is measured against: the same triangles drawn in the other
// ways GL 1.1 and later offer, on the current context, each frame timed until it is finished.
//
// Every way draws each drawable face of a compiled scene once per frame, batched by texture as
// the list is, from the scene's camera; the list itself is timed the same way beside them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "scene/scene.h"

struct WayTime {
    std::string name;
    double frameMs;         // median of the frames timed, each ended with glFinish; -1: not set up
    double faultsPerFrame;  // the process's page faults (minor and major) per timed frame
};

// The list first, then each other way. Frames are timed in `rounds` rounds that visit every way
// in turn, so that a busy moment of the machine falls on all of them; in each round a way draws
// for about `roundSeconds` (at least three frames). `endFrame` runs after each frame is drawn and
// before it is finished (the benchmarks swap buffers there, as the viewer does).
std::vector<WayTime> TimeDrawingWays(Scene& scene, int rounds, double roundSeconds,
                                     const std::function<void()>& endFrame);

// The fastest of the ways other than the list; its frameMs is -1 when none could be set up.
WayTime FastestOtherWay(const std::vector<WayTime>& ways);
