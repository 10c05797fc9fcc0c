#!/usr/bin/env bash
# F1 over and over on the real viewer: on a 640x480 screen every switch really changes the mode;
# on a 1024x768 one every switch into full screen is refused with its box, and Return (Yes) goes
# on in a window. Either way the viewer draws the scene again after each of 20 switches, its
# memory does not grow with them, and Escape still ends it with the report.
quorvane="$1"
source "$2/tests/e2e/lib.sh"
source "$2/tests/e2e/viewer.sh"

switches=20
# Resident memory may grow this much (KiB) from the 4th switch to the last: the X and GL
# libraries keep some per-connection bookkeeping (about 70 KiB a switch was seen). A scene left
# behind by each switch would cost several MiB each time (world arrays, object arrays,
# textures), so even one of them every few switches goes over.
tolerance_kb=$((8 * 1024))

switch_repeatedly() {
    local screen="$1" refused="$2" dir pid sockets box early="" late=""
    start_xvfb "$screen"
    dir="$(viewer_dir switch)"
    start_viewer switch "$dir"
    pid="$e2e_last_pid"
    wait_for_window Quorvane 60 >/dev/null
    wait_for_scene "$e2e_tmp/start.png"
    for i in $(seq "$switches"); do
        sockets="$(x_connections "$pid")"
        # F1 is held until the switch has begun: after a switch the first frame with F1 down
        # only clears the latch, the second switches.
        x11 xdotool keydown F1
        if [ "$refused" = refused ]; then
            box="$(wait_for_box OpenGL 60)"
            x11 xdotool keyup F1
            x11 xdotool key --window "$box" Return 2>/dev/null  # it warns about Xvfb's focus
        else
            wait_for_reconnect "$pid" "$sockets" 60
            x11 xdotool keyup F1
        fi
        wait_for_window Quorvane 60 >/dev/null
        # Memory is compared between two points with the scene loaded and drawn.
        if [ "$i" -eq 4 ] || [ "$i" -eq "$switches" ]; then
            wait_for_scene "$e2e_tmp/switch.png" 60
            late="$(resident_kb "$pid")"
            early="${early:-$late}"
        fi
    done
    [ $((late - early)) -le "$tolerance_kb" ] \
        || fail "memory grew from $early KiB to $late KiB over $((switches - 4)) switches"
    x11 xdotool keydown Escape
    expect_exit "$pid" 0
    x11 xdotool keyup Escape
    expect_demo_report "$dir"
    echo "$screen: $switches switches, resident memory $early KiB after 4, $late KiB at the end"
}

(switch_repeatedly 640x480x16 accepted)
(switch_repeatedly 1024x768x24 refused)
echo "the viewer survives repeated full-screen switches"
