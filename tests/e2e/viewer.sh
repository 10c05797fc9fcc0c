# The real viewer under test, for the end-to-end scripts. Source it after lib.sh.
#
#   viewer_dir NAME                  prints a fresh directory holding a copy of the demo's data/
#   start_viewer NAME DIR            runs the viewer in DIR in the background, output in
#                                    $e2e_tmp/NAME.log; its process id in $e2e_last_pid
#   window_shot FILE                 screenshot of the viewer's 640x480 area at (0, 0)
#   wait_for_scene FILE [SECS] [N]   waits until the viewer's area shows drawn geometry, more than
#                                    N colours (200), not only the clear colour; the last shot
#                                    stays in FILE
#   same_picture A B                 true when the two shots have the same pixels
#   x_connections PID                the sockets PID holds (a new window makes a new connection)
#   wait_for_reconnect PID SOCKETS [SECS]   waits until PID's sockets are no longer SOCKETS
#   resident_kb PID                  resident memory of PID in KiB
#   expect_demo_report DIR           fails unless DIR/data/report.log holds the demo's totals

e2e_source="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

viewer_dir() {
    local dir="$e2e_tmp/$1"
    mkdir -p "$dir/data"
    cp -r "$e2e_source/data/." "$dir/data/"
    rm -f "$dir/data/report.log"  # one left by a run in the source tree
    echo "$dir"
}

start_viewer() {
    local name="$1" dir="$2"
    # exec keeps the process id the viewer's own, for its status, memory and exit code.
    (cd "$dir" && exec "$quorvane") >"$e2e_tmp/$name.log" 2>&1 &
    e2e_last_pid=$!
    e2e_track "$e2e_last_pid"
}

window_shot() {
    x11 import -window root "$1.full.png"
    /usr/bin/convert "$1.full.png" -crop 640x480+0+0 +repage "$1"
}

# The clear colour alone is one colour; the demo scene shows thousands.
wait_for_scene() {
    local shot="$1" seconds="${2:-30}" least="${3:-200}" colours=0
    for _ in $(seq $((seconds * 4))); do
        window_shot "$shot"
        colours="$(/usr/bin/convert "$shot" -format %k info:)"
        [ "$colours" -gt "$least" ] && return 0
        sleep 0.25
    done
    fail "no scene drawn within ${seconds}s (last shot: $colours colours)"
}

same_picture() {
    [ "$(/usr/bin/convert "$1" rgb:- | md5sum)" = "$(/usr/bin/convert "$2" rgb:- | md5sum)" ]
}

x_connections() {
    local fd
    for fd in /proc/"$1"/fd/*; do readlink "$fd" 2>/dev/null || true; done \
        | { grep '^socket:' || true; } | sort | tr '\n' ' '
}

wait_for_reconnect() {
    local pid="$1" before="$2" seconds="${3:-30}" now
    for _ in $(seq $((seconds * 20))); do
        now="$(x_connections "$pid")"
        [ -n "$now" ] && [ "$now" != "$before" ] && return 0
        sleep 0.05
    done
    fail "process $pid opened no new window within ${seconds}s"
}

resident_kb() {
    awk '$1 == "VmRSS:" {print $2}' "/proc/$1/status"
}

expect_demo_report() {
    printf '%s\n%s\n\n%s\n\n%s' "Total used vertexes: 17819" "Total rendered faces: 18330" \
        "Total rendered objects: 105" \
        "Average fps : for now unknown, not enough i suppose ;-)" >"$e2e_tmp/expected-report"
    [ -f "$1/data/report.log" ] || fail "no report written"
    cmp -s "$e2e_tmp/expected-report" "$1/data/report.log" \
        || fail "report differs: $(cat "$1/data/report.log")"
}
