#!/usr/bin/env bash
# The viewer's first frame on a real X display is the picture quorvane-shot draws headless: a
# screenshot of the window matches tests/golden/demo.png, and Escape then ends the viewer.
# Nothing moves the camera: the pointer starts where the viewer centres it, (320, 240).
quorvane="$1"
source "$2/tests/e2e/lib.sh"

start_xvfb 640x480x24
cd "$2"  # the scene's file names are relative to the repository root
start_logged viewer "$quorvane"
pid="$e2e_last_pid"
log="$e2e_tmp/viewer.log"
id=""
for _ in $(seq 200); do
    id="$(xdotool search --onlyvisible --name '^Quorvane$' 2>/dev/null | head -n 1 || true)"
    [ -n "$id" ] && break
    if ! kill -0 "$pid" 2>/dev/null; then
        grep -q 'not assembled' "$log" && skip "the viewer is not assembled yet"
        fail "the viewer ended before its window appeared"
    fi
    sleep 0.1
done
[ -n "$id" ] || fail "no window named Quorvane within 20s"

sleep 1  # the first frames swapped
x11 import -window "$id" "$e2e_tmp/first.png"
expect_golden "$e2e_tmp/first.png" demo

# Held, not tapped: the keyboard is read once per frame, so a quick press and release can both
# fall between two reads on a loaded machine.
x11 xdotool keydown Escape
for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
x11 xdotool keyup Escape
kill -0 "$pid" 2>/dev/null && fail "the viewer still runs after Escape"
echo "first frame matches the golden"
