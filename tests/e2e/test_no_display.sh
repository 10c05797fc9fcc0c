#!/usr/bin/env bash
# With no display at all the viewer does not run on without a window: it says why on standard
# error (in the window failure box's words, after the reason the box itself could not be shown)
# and ends at once with status 0, writing no report.
quorvane="$1"
source "$2/tests/e2e/lib.sh"
source "$2/tests/e2e/viewer.sh"

dir="$(viewer_dir blind)"
status=0
(cd "$dir" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 30 "$quorvane") \
    >"$e2e_tmp/blind.log" 2>&1 || status=$?
[ "$status" -eq 124 ] && fail "the viewer ran on for 30 s without a display"
[ "$status" -eq 0 ] || fail "ended with $status, not 0"
[ -e "$dir/data/report.log" ] && fail "a run without a window wrote a report"
grep -q '^(no message box could be shown: .\+)$' "$e2e_tmp/blind.log" ||
    fail "no reason why the box could not be shown"
grep -q '^OpenGL: No display could be opened' "$e2e_tmp/blind.log" || fail "no reason given"
echo "no display: $(grep 'No display' "$e2e_tmp/blind.log")"
