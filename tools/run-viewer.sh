#!/usr/bin/env bash
# Builds the viewer and starts it on the shipped demo scene (data/demo.scn).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DQUORVANE_BENCH=OFF >/dev/null
cmake --build "$root/build" --target quorvane -j"$(nproc)"
cd "$root"  # the viewer reads data/demo.scn relative to the working directory
exec "$root/build/quorvane"
