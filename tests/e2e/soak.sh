#!/usr/bin/env bash
# Soak run of the real viewer: 50 full-screen switches on a 640x480x16 screen (where each one
# really changes the mode), then a minute of random keys and mouse moves, then Escape. Passes when
# the viewer ends with status 0 (a sanitizer build ends otherwise on a leak or a memory error),
# the report holds the demo's totals, and resident memory after the last switch is within a
# small tolerance of what it was after the first.
# Usage: soak.sh VIEWER SOURCE_DIR [SWITCHES] [SECONDS]   (tools/scripts/run-soak.sh runs it)
quorvane="$1"
source "$2/tests/e2e/lib.sh"
source "$2/tests/e2e/viewer.sh"
switches="${3:-50}"
seconds="${4:-60}"
# The X and GL libraries keep some bookkeeping per connection (tens of KiB a switch); a scene
# left behind by a switch costs MiB.
tolerance_kb=$((8 * 1024))

start_xvfb 640x480x16
dir="$(viewer_dir soak)"
start_viewer soak "$dir"
pid="$e2e_last_pid"
wait_for_window Quorvane 120 >/dev/null
wait_for_scene "$e2e_tmp/start.png" 120
for i in $(seq "$switches"); do
    sockets="$(x_connections "$pid")"
    x11 xdotool keydown F1  # held until the switch begins: every other F1 frame only unlatches
    wait_for_reconnect "$pid" "$sockets" 120
    x11 xdotool keyup F1
    wait_for_window Quorvane 120 >/dev/null
    if [ "$i" -eq 1 ] || [ "$i" -eq "$switches" ]; then
        wait_for_scene "$e2e_tmp/switch.png" 120
        sleep 1
        [ "$i" -eq 1 ] && first="$(resident_kb "$pid")"
        last="$(resident_kb "$pid")"
    fi
done
echo "resident memory: $first KiB after the first switch, $last KiB after switch $switches"

keys=(Up Down Left Right Prior Next End c d f g)
RANDOM=7
end=$((SECONDS + seconds))
moves=0
while [ $SECONDS -lt $end ]; do
    key="${keys[RANDOM % ${#keys[@]}]}"
    x11 xdotool keydown "$key" mousemove_relative -- $((RANDOM % 81 - 40)) $((RANDOM % 61 - 30))
    sleep 0.0$((RANDOM % 9 + 1))
    x11 xdotool keyup "$key"
    moves=$((moves + 1))
done
echo "random input: $moves key presses with mouse moves in ${seconds}s"
kill -0 "$pid" || fail "the viewer died during the random input"
during="$(resident_kb "$pid")"
echo "resident memory after the random input: $during KiB"

x11 xdotool keydown Escape
expect_exit "$pid" 0
x11 xdotool keyup Escape
expect_demo_report "$dir"
[ $((last - first)) -le "$tolerance_kb" ] \
    || fail "memory grew from $first KiB to $last KiB over $((switches - 1)) switches"
if grep -qE 'LeakSanitizer|AddressSanitizer|runtime error' "$e2e_tmp/soak.log"; then
    fail "the sanitizers reported a problem"
fi
echo "soak passed: $switches switches, ${seconds}s of random input, report correct, no leak"
