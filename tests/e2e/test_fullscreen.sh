#!/usr/bin/env bash
# Full screen for real: accepted on a display that has a 640x480 mode (switched at 16 bits,
# window covering it, desktop mode back afterwards); refused on a 1024x768-only display, where
# the real boxes ask and Return (Yes) falls back to a window, while No stops after the second box
# with no window. A question is answered only by a choice: Escape does nothing, and a box closed
# without one asks again.
quorvane="$1"
source "$2/tests/e2e/lib.sh"

accepted() {
    start_xvfb 640x480x16
    local pid log="$e2e_tmp/accepted.log" id
    start_logged accepted "$e2e_probe" fullscreen 60
    pid="$e2e_last_pid"
    wait_for_line "$log" '^input 1$'
    grep -qx 'created 1 fullscreen 1' "$log" || fail "full screen not kept"
    grep -qx 'display 640 480 16' "$log" || fail "display not at 640x480x16"
    grep -qx 'window 0 0 640 480' "$log" || fail "window does not cover the display"
    grep -qE '^context .* colour 5 6 5$' "$log" || fail "context not 5/6/5"
    id="$(wait_for_window Quorvane)"
    send_close "$id"
    wait_for_line "$log" '^desktop 640 480$' 10
    expect_exit "$pid" 0
}

refused_yes() {
    start_xvfb 1024x768x24
    local pid log="$e2e_tmp/yes.log" box id
    start_logged yes "$e2e_probe" fullscreen 60
    pid="$e2e_last_pid"
    box="$(wait_for_box OpenGL)"
    grep -q '^created' "$log" && fail "window made before the answer"
    x11 xdotool key --window "$box" Return 2>/dev/null  # it warns about the focus Xvfb reports
    wait_for_line "$log" '^input 1$'
    grep -qx 'created 1 fullscreen 0' "$log" || fail "Yes did not fall back to a window"
    grep -qx 'window 0 0 640 480' "$log" || fail "fallback window not 640 x 480 at (0, 0)"
    grep -qx 'display 1024 768 24' "$log" || fail "display mode changed after a refusal"
    id="$(wait_for_window Quorvane)"
    send_close "$id"
    wait_for_line "$log" '^quit 0$' 10
    expect_exit "$pid" 0
}

refused_no() {
    start_xvfb 1024x768x24
    local pid log="$e2e_tmp/no.log" box
    start_logged no "$e2e_probe" fullscreen 60
    pid="$e2e_last_pid"
    box="$(wait_for_box OpenGL)"
    x11 xdotool key --window "$box" Escape 2>/dev/null  # it warns about the focus Xvfb reports
    sleep 1
    xwininfo -root -tree | grep -q '"ERROR":' && fail "Escape answered the question"
    wait_for_box OpenGL 1 >/dev/null
    send_close "$box"
    sleep 1
    box="$(wait_for_box OpenGL 10)"  # asked again
    xwininfo -root -tree | grep -q '"ERROR":' && fail "closing the box answered the question"
    click_no "$box"
    box="$(wait_for_box ERROR)"
    grep -q '^created' "$log" && fail "result given before the second box was closed"
    x11 xdotool key --window "$box" Escape 2>/dev/null  # a notice is closed by Escape as well
    wait_for_line "$log" '^created 0 fullscreen 1$' 10
    expect_exit "$pid" 0
    xdotool search --name '^Quorvane$' >/dev/null 2>&1 && fail "a window was left"
    return 0
}

(accepted)
(refused_yes)
(refused_no)
echo "full screen accepted and refused as expected"
