#!/usr/bin/env bash
# The frame rate of the demo scene in a real window on a private X server, measured from outside
# the viewer by a program that runs the viewer's own start-up and frame loop and counts frames.
# It prints the figure; it fails only when no frames run at all.
quorvane="$1"
source "$2/tests/e2e/lib.sh"
source "$2/tests/e2e/viewer.sh"

start_xvfb 1024x768x24
dir="$(viewer_dir rate)"
(cd "$dir" && "$e2e_build/tests/quorvane_frame_rate" 3) >"$e2e_tmp/rate.log" 2>&1 \
    || fail "the measurement did not run"
grep -qE '^[1-9][0-9]* frames in ' "$e2e_tmp/rate.log" || fail "no frames ran"
echo "demo scene under Xvfb (1024x768x24): $(cat "$e2e_tmp/rate.log")"
