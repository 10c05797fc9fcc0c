// The process's memory settings, made first thing in main by every program that reads large
// models or draws them (the viewer, quorvane-shot, quorvane-import, whose confined reader is
// forked from it and keeps them, and any other such program), before any library allocates. None
// of them changes what is drawn, what is written or the display list's contents.
#pragma once

// On this project's machines memory that a process touches for the first time costs far more
// than memory it touches again, so glibc is told to keep what it has and to hand it out again:
// - freed memory stays in the heap (the trim threshold raised to 2 GB, the heap grown 256 MB at
//   a time): llvmpipe frees its bin memory after every frame, and the next frame would fault the
//   same memory in again page by page;
// - blocks up to 32 MiB (glibc's most) come from the heap, not from mappings of their own that
//   are unmapped when freed: the importer's arrays, assimp's buffers and Mesa's vertex stores,
//   each allocated, filled and freed in turn, reuse the same pages.
// The process's memory no longer shrinks once it has grown; its peak is unchanged. Settings of
// the process only: programs it starts begin with glibc's defaults.
void TuneProcess();
