// Settings of the process for drawing with Mesa's software renderer, made by the programs that
// draw (the viewer, quorvane-shot) first thing in main, before any library allocates. None of
// them changes what is drawn or the display list's contents.
#pragma once

// llvmpipe frees its bin memory after every frame, glibc then gives the top of the heap back
// to the kernel, and the next frame faults the same memory in again page by page. This keeps
// freed memory in the heap (the trim threshold raised to 2 GB, the heap grown 256 MB at a time):
// the process's memory no longer shrinks once it has grown, its peak is unchanged.
void TuneProcessForRenderer();
