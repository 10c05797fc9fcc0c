// Figures of this process that the benchmarks print beside their timings.
#pragma once

// Page faults (minor and major) so far, of every thread: the renderer's included.
double PageFaults();
// The peak resident set so far, in MB (VmHWM).
double PeakResidentMB();
