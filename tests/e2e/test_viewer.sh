#!/usr/bin/env bash
# The real viewer on a copy of the demo, in a real window on a private X server, used as a user
# would: the scene is drawn, the arrow keys and the mouse move the view, Escape and the window's
# close request both end the run with status 0 and the scene's exact totals in data/report.log,
# and a missing scene file shows its box and ends with status 1, leaving an earlier report alone.
quorvane="$1"
source "$2/tests/e2e/lib.sh"
source "$2/tests/e2e/viewer.sh"

escape_ends_with_report() {
    start_xvfb 1024x768x24
    local dir pid
    dir="$(viewer_dir escape)"
    start_viewer escape "$dir"
    pid="$e2e_last_pid"
    wait_for_window Quorvane 60 >/dev/null
    wait_for_scene "$e2e_tmp/escape.png"
    # Held until the end: a press and release between two frames would never be seen.
    x11 xdotool keydown Escape
    expect_exit "$pid" 0
    x11 xdotool keyup Escape
    expect_demo_report "$dir"
}

walk_and_look_then_close() {
    start_xvfb 1024x768x24
    local dir pid id
    dir="$(viewer_dir walk)"
    start_viewer walk "$dir"
    pid="$e2e_last_pid"
    id="$(wait_for_window Quorvane 60)"
    wait_for_scene "$e2e_tmp/still-1.png"
    sleep 0.5
    window_shot "$e2e_tmp/still-2.png"
    # Without input the view stays put, so a change below comes from the input.
    same_picture "$e2e_tmp/still-1.png" "$e2e_tmp/still-2.png" \
        || fail "the picture changed with no input"
    x11 xdotool keydown Up
    x11 xdotool mousemove_relative -- 40 10
    sleep 0.5
    x11 xdotool keyup Up
    sleep 0.3
    window_shot "$e2e_tmp/moved.png"
    same_picture "$e2e_tmp/still-2.png" "$e2e_tmp/moved.png" \
        && fail "walking and looking left the picture unchanged"
    send_close "$id"
    expect_exit "$pid" 0
    expect_demo_report "$dir"
}

missing_scene_ends_with_one() {
    start_xvfb 1024x768x24
    local dir pid box
    dir="$(viewer_dir missing)"
    rm "$dir/data/demo.scn"
    printf 'an earlier report' >"$dir/data/report.log"
    start_viewer missing "$dir"
    pid="$e2e_last_pid"
    box="$(wait_for_box "Quorvane OpenGL" 60)"
    x11 xdotool key --window "$box" Return 2>/dev/null  # it warns about the focus Xvfb reports
    expect_exit "$pid" 1
    [ "$(cat "$dir/data/report.log")" = "an earlier report" ] || fail "the earlier report changed"
    xdotool search --name '^Quorvane$' >/dev/null 2>&1 && fail "a window was left"
    return 0
}

(escape_ends_with_report)
(walk_and_look_then_close)
(missing_scene_ends_with_one)
echo "the viewer draws, moves, ends and reports as a user sees it"
