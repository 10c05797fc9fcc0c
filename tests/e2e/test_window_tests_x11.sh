#!/usr/bin/env bash
# The window, message and keyboard unit tests again, on a real X display instead of SDL's
# offscreen driver: once on a 16-bit 640x480 screen, once on a 24-bit 1024x768 one.
quorvane="$1"
source "$2/tests/e2e/lib.sh"

for screen in 640x480x16 1024x768x24; do
    (
        start_xvfb "$screen"
        # A run that failed only because Xvfb refused a connection (see x11 in lib.sh) is
        # run again; any other failure counts.
        for try in 1 2 3; do
            "$e2e_build/tests/quorvane_tests" --gtest_brief=1 \
                --gtest_filter='GLWindow*:WindowMessages*:Input*' >"$e2e_tmp/tests.log" 2>&1 \
                && exit 0
            grep -q 'x11 not available' "$e2e_tmp/tests.log" || break
            sleep 1
        done
        fail "window tests failed on a $screen screen"
    )
done
echo "window tests pass on X11"
