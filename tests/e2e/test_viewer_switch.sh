#!/usr/bin/env bash
# F1 over and over on the real viewer: on a 640x480 screen every switch really changes the mode;
# on a 1024x768 one every switch into full screen is refused with its box, and Return (Yes) goes
# on in a window. Either way the viewer draws the scene again after each of 20 switches, its
# memory does not grow with them, and Escape still ends it with the report. F1 held for seconds
# switches again and again and always leaves a window; SIGTERM and SIGINT in the middle of that,
# or while the refusal's box waits, still end the viewer in order.
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

# Ten holds of F1 for 3 s, each in a fresh viewer: a window afterwards, and a clean end. The
# last two end by a signal while F1 is still held, somewhere in a switch.
hold_f1() {
    start_xvfb 640x480x16
    local dir pid hold end
    for hold in $(seq 10); do
        end=key
        [ "$hold" -eq 9 ] && end=TERM
        [ "$hold" -eq 10 ] && end=INT
        dir="$(viewer_dir "hold-$hold")"
        start_viewer "hold-$hold" "$dir"
        pid="$e2e_last_pid"
        wait_for_window Quorvane 60 >/dev/null
        x11 xdotool keydown F1
        sleep 3
        if [ "$end" = key ]; then
            x11 xdotool keyup F1
            wait_for_window Quorvane 60 >/dev/null
            wait_for_scene "$e2e_tmp/hold.png" 60
            x11 xdotool key Escape
        else
            kill -"$end" "$pid"
        fi
        expect_exit "$pid" 0
        x11 xdotool keyup F1
        expect_demo_report "$dir"
    done
    echo "F1 held for 3 s ten times: a window and a clean end each time"
}

# SIGTERM while the box of a refused switch waits: the box goes, and the failed switch ends the
# run as its No would, with status 0 and no report.
signal_while_asking() {
    start_xvfb 1024x768x24
    local dir pid
    dir="$(viewer_dir asking)"
    start_viewer asking "$dir"
    pid="$e2e_last_pid"
    wait_for_window Quorvane 60 >/dev/null
    x11 xdotool keydown F1
    wait_for_box OpenGL 60 >/dev/null
    x11 xdotool keyup F1
    kill -TERM "$pid"
    expect_exit "$pid" 0
    [ -e "$dir/data/report.log" ] && fail "a failed switch wrote a report"
    sleep 0.5
    xwininfo -root -tree | grep -qE '"(OpenGL|ERROR)":' && fail "a box was left behind"
    return 0
}

(hold_f1)
(signal_while_asking)
(switch_repeatedly 640x480x16 accepted)
(switch_repeatedly 1024x768x24 refused)
echo "the viewer survives repeated full-screen switches"
