#!/usr/bin/env bash
# The real viewer on a copy of the demo, in a real window on a private X server, used as a user
# would: the scene is drawn, the arrow keys and the mouse move the view, the pointer is the
# desktop's while another window has the focus; a quick tap of Escape, the window's close request,
# SIGTERM and SIGINT all end the run with status 0 and the scene's exact totals in
# data/report.log; a missing scene file shows its box, says which file on standard error and ends
# with status 1, leaving an earlier report alone.
quorvane="$1"
source "$2/tests/e2e/lib.sh"
source "$2/tests/e2e/viewer.sh"

# Each way of ending, five quick taps of Escape among them: a tap (about 12 ms) falls between two
# keyboard reads more often than not.
ends_with_report() {
    start_xvfb 1024x768x24
    local dir pid way
    for way in key key key key key TERM INT; do
        dir="$(viewer_dir "end-$way")"
        rm -f "$dir/data/report.log"
        start_viewer "end-$way" "$dir"
        pid="$e2e_last_pid"
        wait_for_window Quorvane 60 >/dev/null
        wait_for_scene "$e2e_tmp/end.png"
        if [ "$way" = key ]; then x11 xdotool key Escape; else kill -"$way" "$pid"; fi
        expect_exit "$pid" 0
        expect_demo_report "$dir"
    done
}

pointer_at() {
    xdotool getmouselocation --shell | head -n 2 | tr '\n' ' '
}

# Another window takes the focus: the viewer leaves the pointer where the user puts it; back in
# front, the view has not jumped, and the mouse turns it again.
pointer_follows_the_focus() {
    start_xvfb 1024x768x24
    local dir pid id other
    dir="$(viewer_dir focus)"
    start_viewer focus "$dir"
    pid="$e2e_last_pid"
    id="$(wait_for_window Quorvane 60)"
    wait_for_scene "$e2e_tmp/before.png"
    start_logged other xlogo -geometry 100x100+900+600
    other="$(wait_for_window xlogo)"
    x11 xdotool windowfocus "$other"
    sleep 0.3
    x11 xdotool mousemove 700 650
    sleep 0.5
    [ "$(pointer_at)" = "X=700 Y=650 " ] \
        || fail "the pointer was taken while another window had the focus"
    # Back in front, the viewer holds the pointer at its window's centre again: that tells when it
    # has taken the focus, however long the platform takes to say so.
    x11 xdotool windowfocus "$id"
    local tries=0
    until [ "$(pointer_at)" = "X=320 Y=240 " ]; do
        [ $((tries += 1)) -le 100 ] || fail "the pointer was not taken back with the focus"
        sleep 0.1
    done
    sleep 0.3
    window_shot "$e2e_tmp/back.png"
    same_picture "$e2e_tmp/before.png" "$e2e_tmp/back.png" || fail "the view jumped on return"
    x11 xdotool mousemove_relative -- 40 0
    sleep 0.5
    window_shot "$e2e_tmp/turned.png"
    same_picture "$e2e_tmp/back.png" "$e2e_tmp/turned.png" && fail "the mouse no longer turns"
    sleep 0.5
    window_shot "$e2e_tmp/still.png"
    same_picture "$e2e_tmp/turned.png" "$e2e_tmp/still.png" || fail "the view turns on by itself"
    send_close "$id"
    expect_exit "$pid" 0
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
    grep -q '^data/demo.scn:1:1: error: scene file cannot be opened' "$e2e_tmp/missing.log" \
        || fail "standard error does not say which file"
    xdotool search --name '^Quorvane$' >/dev/null 2>&1 && fail "a window was left"
    return 0
}

(ends_with_report)
(pointer_follows_the_focus)
(walk_and_look_then_close)
(missing_scene_ends_with_one)
echo "the viewer draws, moves, ends and reports as a user sees it"
