#include "scene/phase_clock.h"

namespace {
PhaseListener phaseListener = nullptr;
}  // namespace

void SetPhaseListener(PhaseListener listener) {
    phaseListener = listener;
}

void MarkPhase(const char* phase) {
    if (phaseListener != nullptr) phaseListener(phase);
}
