#!/usr/bin/env bash
# Builds the Debian package of Quorvane, build/package/quorvane_VERSION_ARCH.deb, from build/
# (the configuration of the README's commands): the programs and pages it holds are built first,
# the tests and benchmarks are not. Prints the package's path.
# Then: sudo apt-get install ./build/package/quorvane_*.deb
# Usage: tools/scripts/package.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
"$root/tools/scripts/build.sh" quorvane-installed
rm -f "$root"/build/package/quorvane_*.deb
cpack --config "$root/build/CPackConfig.cmake" >"$root/build/package.log" 2>&1 ||
    { cat "$root/build/package.log" >&2; exit 1; }
ls "$root"/build/package/quorvane_*.deb
