// The statistics report written at the orderly end of a run.
#pragma once

#include <cstdint>
#include <string>

#include "scene/scene.h"

// The report's totals, one "Caption: value" line each, as the report and quorvane-check print
// them; `spaced` puts the report's blank line before the object total.
std::string FormatTotals(int64_t vertexCount, int64_t faceCount, int64_t objectCount, bool spaced);

// Replaces the report file with the scene's world totals and object count. Nothing is shown and
// nothing stops on failure (no `data` directory, a full disk).
// - The file is written whole or not at all: an earlier report stays in place when the new one
//   cannot be completed.
// - A symbolic link is written through to its target; a report the user made read-only (no
//   write bit) is left alone; one owned by someone else keeps its owner.
// - Where no temporary file can be made beside the report (a read-only directory holding a
//   writable report), the report is truncated and written in place.
void WriteReport(const Scene& scene, const char* path = "data/report.log");
