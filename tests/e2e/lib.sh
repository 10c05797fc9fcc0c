# Shared by the end-to-end scripts: a private Xvfb, waiting for windows and output, real close
# requests, screenshots. Source it after setting `quorvane` to the viewer's path (the scripts'
# first argument); the helper programs are found in the same build tree.
#
#   start_xvfb 640x480x16            own X server on a free display; DISPLAY is set
#   start_logged NAME CMD...         runs CMD in the background, output in $e2e_tmp/NAME.log;
#                                    its process id in $e2e_last_pid
#   wait_for_line LOG REGEX [SECS]   waits until LOG has a line matching REGEX
#   wait_for_window NAME [SECS]      prints the id of the window called NAME
#   wait_for_box CAPTION [SECS]      prints the id of the message box with CAPTION
#   send_close ID                    the close request a window's close button sends
#   click_no ID                      clicks the No button of the yes/no box ID
#   pixel_at X Y                     screenshot of the screen, colour of one pixel as r,g,b
#   x11 CMD...                       runs an X client, again if it could not connect
#   expect_golden PNG NAME           fails unless PNG matches tests/golden/NAME.png (below)
#   fail MESSAGE                     reports and ends the test with status 1
# Everything started here ends when the script exits, however it exits.

set -euo pipefail

e2e_build="$(cd "$(dirname "$quorvane")" && pwd)"
e2e_source="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
e2e_shot="$e2e_build/quorvane-shot"
e2e_probe="$e2e_build/tests/quorvane_window_probe"
e2e_send_close="$e2e_build/tests/quorvane_send_close"
e2e_tmp="$(mktemp -d)"
e2e_main="$BASHPID"
e2e_owner=""
e2e_pids=()
e2e_last_pid=""

# Ends what this shell started; the main shell also removes the scratch directory. A
# subshell (a scenario run in parentheses) keeps its own list and its own exit trap.
e2e_cleanup() {
    local pid
    for pid in "${e2e_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${e2e_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    [ "$BASHPID" = "$e2e_main" ] && rm -rf "$e2e_tmp"
    return 0
}
trap e2e_cleanup EXIT

e2e_track() {
    if [ "$e2e_owner" != "$BASHPID" ]; then
        e2e_owner="$BASHPID"
        e2e_pids=()
        trap e2e_cleanup EXIT
    fi
    e2e_pids+=("$1")
}

fail() {
    echo "FAIL: $*" >&2
    local log
    for log in "$e2e_tmp"/*.log; do
        [ -e "$log" ] || continue
        echo "--- $(basename "$log")" >&2
        cat "$log" >&2
    done
    exit 1
}

# On a loaded machine Xvfb now and then refuses a connection that follows another closely
# (connect() gives EAGAIN); a client that fails is tried again, a few times.
x11() {
    local try
    for try in 1 2 3 4 5; do
        "$@" && return 0
        sleep 0.2
    done
    fail "X client failed five times: $*"
}

start_xvfb() {
    local screen="$1" number=""
    # -displayfd lets the server pick a free display itself, so parallel runs never collide.
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$e2e_tmp/display" \
        >"$e2e_tmp/xvfb.out" 2>&1 &
    e2e_track $!
    for _ in $(seq 100); do
        number="$(cat "$e2e_tmp/display" 2>/dev/null || true)"
        [ -n "$number" ] && break
        sleep 0.1
    done
    [ -n "$number" ] || fail "Xvfb did not start: $(cat "$e2e_tmp/xvfb.out")"
    export DISPLAY=":$number"
    export SDL_VIDEODRIVER=x11
}

start_logged() {
    local name="$1"
    shift
    "$@" >"$e2e_tmp/$name.log" 2>&1 &
    e2e_last_pid=$!
    e2e_track "$e2e_last_pid"
}

wait_for_line() {
    local log="$1" pattern="$2" seconds="${3:-20}"
    for _ in $(seq $((seconds * 10))); do
        grep -qE "$pattern" "$log" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "no line matching '$pattern' in $(basename "$log") within ${seconds}s"
}

wait_for_window() {
    local name="$1" seconds="${2:-20}" id
    for _ in $(seq $((seconds * 10))); do
        id="$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n 1 || true)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window named $name within ${seconds}s"
}

# SDL's message boxes set their title only as UTF-8, which xdotool does not search; xwininfo
# lists it.
wait_for_box() {
    local caption="$1" seconds="${2:-20}" id
    for _ in $(seq $((seconds * 10))); do
        # The caption may hold spaces; the quote before it keeps "OpenGL" from matching
        # "Quorvane OpenGL".
        id="$(xwininfo -root -tree 2>/dev/null | awk -v c="\"$caption\":" 'index($0, c) {print $1}' \
              | head -n 1)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no message box with caption $caption within ${seconds}s"
}

send_close() {
    [ -x "$e2e_send_close" ] || fail "$e2e_send_close was not built (libx11-dev missing?)"
    x11 "$e2e_send_close" "$1"
}

# SDL centres the buttons at the bottom of its boxes: Yes left of the middle, No right of it.
click_no() {
    local x y w h
    eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print "x=" $4}
        /Absolute upper-left Y/ {print "y=" $4} /Width:/ {print "w=" $2} /Height:/ {print "h=" $2}')"
    x11 xdotool mousemove $((x + w * 6 / 10)) $((y + h * 72 / 100)) click 1
}

pixel_at() {
    x11 import -window root "$e2e_tmp/shot.png"
    /usr/bin/convert "$e2e_tmp/shot.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:
}

# Waits for the process `pid` to end and fails unless it ends with status `expected`.
expect_exit() {
    local pid="$1" expected="$2" status=0
    for _ in $(seq 200); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "process $pid still running"
    wait "$pid" || status=$?
    [ "$status" -eq "$expected" ] || fail "process $pid ended with $status, not $expected"
}

# A picture drawn on an X display against a golden that quorvane-shot drew headless. The GL
# context under Xvfb has a 32-bit depth buffer where the offscreen one has 16 bits, so where faces
# meet far away a few pixels resolve the other way: of the demo's 307200 pixels, 635 differ at
# all and 235 by more than 3% (7.6 of 255), on Xvfb 640x480x24. Up to one pixel in 200 (1536)
# may differ by more than 3%; a wrong camera, projection or fog changes tens of thousands. (At 16
# bits per pixel every pixel differs by a few levels and 3% is too tight.)
expect_golden() {
    local picture="$1" name="$2" golden="$e2e_source/tests/golden/$2.png" report differing pixels
    local size expected
    size="$(/usr/bin/identify -format '%wx%h' "$picture")"
    expected="$(/usr/bin/identify -format '%wx%h' "$golden")"
    [ "$size" = "$expected" ] || fail "$picture is $size, the golden $golden is $expected"
    report="$(/usr/bin/compare -metric AE -fuzz 3% "$golden" "$picture" null: 2>&1 >/dev/null)" || true
    differing="$(echo "$report" | awk 'NR == 1 && $1 ~ /^[0-9.e+]+$/ {printf "%d", $1}')"
    pixels="$(/usr/bin/identify -format '%[fx:w*h]' "$golden")"
    if [ -z "$differing" ] || [ "$differing" -gt $((pixels / 200)) ]; then
        mkdir -p "$e2e_build/golden-mismatch"
        cp "$picture" "$e2e_build/golden-mismatch/$name-x11.png"
        fail "$picture against $golden: ${report:-no report} (at most $((pixels / 200)) pixels may" \
             "differ by more than 3%); the picture is $e2e_build/golden-mismatch/$name-x11.png"
    fi
    echo "$name: $differing of $pixels pixels differ by more than 3%"
}
