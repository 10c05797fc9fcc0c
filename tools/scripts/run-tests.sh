#!/usr/bin/env bash
# Builds everything and runs the whole test suite: unit, GL and end-to-end tests and the Debian
# package's checks, then the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
jobs="$(nproc)"

"$root/tools/scripts/build.sh"  # build/, shared with tools/scripts/run-viewer.sh
(cd "$root/build" && ctest --output-on-failure -j"$jobs")

cmake -S "$root" -B "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON \
      -DQUORVANE_WERROR=ON -DQUORVANE_BENCH=OFF >/dev/null
cmake --build "$root/build-sanitize" --target quorvane_all_tests -j"$jobs"
(cd "$root/build-sanitize" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs" -LE 'e2e|package' -E '^format$')

# Every fuzz target for a bounded time (QUORVANE_FUZZ_SECONDS, default 60 s each; 0 skips).
seconds="${QUORVANE_FUZZ_SECONDS:-60}"
if [ "$seconds" -gt 0 ]; then
    "$root/tools/scripts/run-fuzz.sh" "$seconds"
fi
