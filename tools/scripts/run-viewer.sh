#!/usr/bin/env bash
# Builds the viewer and its tools (quorvane-check, quorvane-shot, quorvane-make-demo,
# quorvane-import, quorvane-view) in build/ and starts the viewer on the shipped demo scene
# (data/demo.scn). It needs a display.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
"$root/tools/scripts/build.sh" quorvane quorvane-check quorvane-shot quorvane-make-demo quorvane-import \
    quorvane-view quorvane-thumbnailer
cd "$root"  # the viewer reads data/demo.scn relative to the working directory
exec "$root/build/quorvane"
