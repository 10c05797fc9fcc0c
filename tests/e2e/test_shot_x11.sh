#!/usr/bin/env bash
# quorvane-shot on a real X display (SDL_VIDEODRIVER=x11): it draws what the headless golden
# shows, within the X display's tolerance; and a refused scene ends it with status 1 and its
# message on standard error, where a message box would wait for a click forever.
quorvane="$1"
source "$2/tests/e2e/lib.sh"

start_xvfb 640x480x24
cd "$2"
SDL_VIDEODRIVER=x11 "$e2e_shot" data/demo.scn "$e2e_tmp/x11.png" || fail "no picture drawn"
expect_golden "$e2e_tmp/x11.png" demo

echo "1 0 data/objects/none.obj 0 0 0 1 data/demo.cam" >"$e2e_tmp/broken.scn"
status=0
# SDL turns SIGTERM into a quit event that a waiting box never reads: only KILL ends it.
SDL_VIDEODRIVER=x11 timeout -s KILL 20 "$e2e_shot" "$e2e_tmp/broken.scn" "$e2e_tmp/no.png" \
    >"$e2e_tmp/refused.log" 2>&1 || status=$?
[ "$status" -eq 137 ] && fail "a refused scene kept quorvane-shot waiting for 20 s"
[ "$status" -eq 1 ] || fail "a refused scene ended with status $status, not 1"
grep -q 'Object could not be loaded!' "$e2e_tmp/refused.log" || fail "the loader's message is missing"
[ -e "$e2e_tmp/no.png" ] && fail "a refused scene left a picture"
echo "quorvane-shot draws on X11 as headless and never waits on a box"
