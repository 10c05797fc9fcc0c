// The statistics report written at the orderly end of a run.
#pragma once

#include "scene/scene.h"

// Replaces the report file with the scene's world totals and object count. The file is written
// whole or not at all: an earlier report stays in place when the new one cannot be completed.
// Nothing is shown and nothing stops on failure (no `data` directory, a full disk).
void WriteReport(const Scene& scene, const char* path = "data/report.log");
