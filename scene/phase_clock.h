// Start-up phases, marked where each one ends, so that the start-up benchmark can time them one
// by one in the viewer's own code. The viewer itself sets no listener: a mark then costs one test.
#pragma once

using PhaseListener = void (*)(const char* phase);
// Installs `listener` (null: none) for the marks that follow.
void SetPhaseListener(PhaseListener listener);

// The time since the previous mark went to `phase`.
void MarkPhase(const char* phase);
