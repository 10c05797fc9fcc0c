#!/usr/bin/env bash
# Soak run: the viewer built with AddressSanitizer, UndefinedBehaviorSanitizer and leak checks,
# under its own Xvfb, through 50 full-screen switches and a minute of random input.
# Usage: tools/scripts/run-soak.sh [SWITCHES] [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
"$root/tools/scripts/deps.sh"
cmake -S "$root" -B "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON \
      -DQUORVANE_WERROR=ON -DQUORVANE_BENCH=OFF >/dev/null
cmake --build "$root/build-sanitize" --target quorvane-soak -j"$(nproc)"
# No quarantine: freed blocks are reused at once, so resident memory says what is really held.
ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=0:thread_local_quarantine_size_kb=0 exec bash "$root/tests/e2e/soak.sh" \
    "$root/build-sanitize/tests/quorvane-soak" "$root" "${1:-50}" "${2:-60}"
