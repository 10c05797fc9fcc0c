#!/usr/bin/env bash
# Redraws the golden images under tests/golden/ on purpose, after a change meant to alter what the
# viewer shows or how quorvane-import places a model: builds, runs the tests that compare goldens
# with QUORVANE_UPDATE_GOLDENS=1 (they write their pictures there instead of comparing), then runs
# them again as checks. Look at the new
# pictures (and git diff --stat tests/golden) before committing them.
# Usage: tools/scripts/update-goldens.sh [build directory, default build]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build}"
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target quorvane_integration_tests -j"$(nproc)"
cd "$build"
export SDL_VIDEODRIVER=offscreen
goldens='GoldenImage.*:ImportedModels.*'
QUORVANE_UPDATE_GOLDENS=1 ./tests/quorvane_integration_tests --gtest_filter="$goldens"
./tests/quorvane_integration_tests --gtest_filter="$goldens"
git -C "$root" status --short tests/golden
