#!/usr/bin/env bash
# A real window under X: its place and size, the context, a frame reaching the screen, every
# binding key and mouse movement seen by the per-frame reads, and a close request from outside
# ending the loop with code 0.
quorvane="$1"
source "$2/tests/e2e/lib.sh"

start_xvfb 1024x768x24
start_logged probe "$e2e_probe" windowed 60
pid="$e2e_last_pid"
log="$e2e_tmp/probe.log"
wait_for_line "$log" '^input 1$'
id="$(wait_for_window Quorvane)"

grep -qx 'created 1 fullscreen 0' "$log" || fail "window not created as asked"
grep -qx 'window 0 0 640 480' "$log" || fail "window not at (0, 0) with 640 x 480"
grep -qE '^context depth (1[6-9]|[23][0-9]) double 1 ' "$log" \
    || fail "no double-buffered context with a 16-bit or deeper depth buffer"
geometry="$(x11 xwininfo -id "$id")"
echo "$geometry" | grep -q 'Absolute upper-left X:  0$' || fail "window not at x 0"
echo "$geometry" | grep -q 'Absolute upper-left Y:  0$' || fail "window not at y 0"
echo "$geometry" | grep -q 'Width: 640$' || fail "client area not 640 wide"
echo "$geometry" | grep -q 'Height: 480$' || fail "client area not 480 high"

sleep 0.5  # some frames swapped
colour="$(pixel_at 320 240)"
case "$colour" in
    25,25,25 | 26,26,26) ;;
    *) fail "centre of the window is $colour, not the clear colour 0.1 grey" ;;
esac

for binding in Escape:0x01 F1:0x3b c:0x2e d:0x20 f:0x21 g:0x22 Prior:0xc9 Next:0xd1 \
               End:0xcf Up:0xc8 Down:0xd0 Left:0xcb Right:0xcd; do
    key="${binding%%:*}"
    code="${binding##*:}"
    x11 xdotool keydown "$key"
    wait_for_line "$log" "^key $code down$" 5
    x11 xdotool keyup "$key"
    wait_for_line "$log" "^key $code up$" 5
done

x11 xdotool mousemove_relative -- 100 20
wait_for_line "$log" '^cursor 100 20$' 5

send_close "$id"
wait_for_line "$log" '^quit 0$' 10
expect_exit "$pid" 0
grep -q '^timeout' "$log" && fail "probe timed out"
echo "real window behaves"
