#!/usr/bin/env bash
# The viewer's first frame on a real X display is the picture quorvane-shot draws headless: a
# screenshot of the window matches tests/golden/demo.png. Nothing moves the camera: the pointer
# starts where the viewer centres it. And quorvane-shot on the same display never waits on a box:
# a refused scene ends it with status 1 and the loader's message on standard error.
quorvane="$1"
source "$2/tests/e2e/lib.sh"
source "$2/tests/e2e/viewer.sh"

start_xvfb 640x480x24
dir="$(viewer_dir first)"
start_viewer first "$dir"
pid="$e2e_last_pid"
id="$(wait_for_window Quorvane 60)"
sleep 1  # the first frames swapped
x11 import -window "$id" "$e2e_tmp/first.png"
expect_golden "$e2e_tmp/first.png" demo
kill -TERM "$pid"
expect_exit "$pid" 0

cd "$dir"
echo "1 0 data/objects/none.obj 0 0 0 1 data/demo.cam" >"$e2e_tmp/broken.scn"
status=0
# A box would wait for a click that never comes: KILL after 20 s tells that apart.
SDL_VIDEODRIVER=x11 timeout -s KILL 20 "$e2e_shot" "$e2e_tmp/broken.scn" "$e2e_tmp/no.png" \
    >"$e2e_tmp/refused.log" 2>&1 || status=$?
[ "$status" -eq 137 ] && fail "a refused scene kept quorvane-shot waiting for 20 s"
[ "$status" -eq 1 ] || fail "a refused scene ended with status $status, not 1"
grep -q 'Object could not be loaded!' "$e2e_tmp/refused.log" || fail "the loader's message is missing"
[ -e "$e2e_tmp/no.png" ] && fail "a refused scene left a picture"
echo "first frame matches the golden; quorvane-shot never waits on a box"
