#!/usr/bin/env bash
# Installs what is missing, then builds the given targets (everything when none) in build/.
# Both README commands build through here, into one folder with one configuration, so neither
# rebuilds what the other built: the viewer and tools of the first are the very programs the
# tests of the second run.
# Usage: tools/scripts/build.sh [TARGET...]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
"$root/tools/scripts/deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_WERROR=ON >/dev/null
targets=()
[ $# -eq 0 ] || targets=(--target "$@")
cmake --build "$root/build" -j"$(nproc)" "${targets[@]}"
